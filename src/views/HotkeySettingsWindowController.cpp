#include "views/HotkeySettingsWindowController.h"

#include "model/HotkeyStore.h"
#include "platform/NotificationCenter.h"
#include "views/CardView.h"
#include "views/HairlineView.h"
#include "views/SystemColors.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWindow>

namespace {

QFont fontOfSize(const QWidget *widget, qreal pixels, QFont::Weight weight = QFont::Normal)
{
    QFont font = widget->font();
    font.setPixelSize(qRound(pixels));
    font.setWeight(weight);
    return font;
}

QLabel *label(const QString &text, qreal pixels, QFont::Weight weight, bool secondary)
{
    auto *label = new QLabel(text);
    label->setFont(fontOfSize(label, pixels, weight));
    if (secondary) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, SystemColors::secondaryLabel(palette));
        label->setPalette(palette);
    }
    return label;
}

} // namespace

HotkeySettingsWindowController::HotkeySettingsWindowController(HotkeyStore &store, NotificationCenter &notifications,
                                                               const GlobalInput &keyboard, Scheduler &scheduler,
                                                               QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_keyboard(keyboard)
    , m_scheduler(scheduler)
    , m_window(std::make_unique<QWidget>(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                                     | Qt::WindowCloseButtonHint))
{
    m_window->setWindowTitle(windowTitle);
    m_window->setFixedSize(windowSize);
    m_window->installEventFilter(this);
    buildContent();
    connect(m_enabledCheckbox, &QCheckBox::clicked, this, &HotkeySettingsWindowController::toggleEnabled);
    connect(m_restoreButton, &QPushButton::clicked, this, &HotkeySettingsWindowController::restoreDefaults);
    connect(&notifications, &NotificationCenter::posted, this, [this](const QString &name) {
        if (name == HotkeyStore::didChange)
            syncFromStore();
    });
    syncFromStore();
}

HotkeySettingsWindowController::~HotkeySettingsWindowController() = default;

void HotkeySettingsWindowController::buildContent()
{
    auto *outer = new QVBoxLayout(m_window.get());
    outer->setContentsMargins(sideInset, topInset, sideInset, bottomInset);
    outer->setSpacing(0);

    // The rows are taller than the window at its fixed size; they scroll,
    // and the switch and "Restore Defaults" stay in view below them.
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto *content = new QWidget;
    content->setAutoFillBackground(false);
    content->installEventFilter(this); // dragging the background moves the window
    auto *stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, scrollBarGap, 0);
    stack->setSpacing(0);
    const auto add = [stack](QWidget *view, int spaceBelow, Qt::Alignment alignment = {}) {
        stack->addWidget(view, 0, alignment);
        stack->addSpacing(spaceBelow);
    };

    add(label(QStringLiteral("Hotkeys"), 20, QFont::DemiBold, false), 4, Qt::AlignLeft);
    QLabel *description = label(QStringLiteral("Double-tap the leader to slide the shelf out with each key labelled, "
                                               "then press one key. Esc, a click elsewhere, or another double-tap "
                                               "cancels."),
                                12, QFont::Normal, true);
    description->setWordWrap(true);
    add(description, 0);
    // Where the desktop keeps keys from Zorv, it says so under the
    // description; the sentence and its space are gone where it does not.
    auto *limitation = new QWidget;
    auto *limitationLayout = new QVBoxLayout(limitation);
    limitationLayout->setContentsMargins(0, 8, 0, 0);
    m_leaderLimitationLabel = label({}, 12, QFont::Normal, false);
    m_leaderLimitationLabel->setWordWrap(true);
    limitationLayout->addWidget(m_leaderLimitationLabel);
    limitation->hide();
    add(limitation, 18);

    add(makeSectionLabel(QStringLiteral("Arm")), 8, Qt::AlignLeft);
    add(makeCard({makeRow(QStringLiteral("Leader"), QStringLiteral("Tap twice quickly to arm"),
                          makeRecorder(HotkeyRecorderView::Mode::leader()))}),
        16);

    add(makeSectionLabel(QStringLiteral("Shelf \u2014 copy an item to the clipboard")), 8, Qt::AlignLeft);
    QList<QWidget *> copyRows;
    QList<QWidget *> otherRows;
    for (HotkeyAction action : HotkeyActions::allCases()) {
        QWidget *row = makeRow(HotkeyActions::title(action), {}, makeRecorder(HotkeyRecorderView::Mode::forAction(action)));
        (HotkeyActions::copySlotIndex(action) ? copyRows : otherRows).append(row);
    }
    add(makeCard(copyRows), 16);
    add(makeSectionLabel(QStringLiteral("Other")), 8, Qt::AlignLeft);
    add(makeCard(otherRows), 0);
    stack->addStretch(1);
    scroll->setWidget(content);
    outer->addWidget(scroll, 1);
    outer->addSpacing(18);

    auto *footer = new QHBoxLayout;
    footer->setContentsMargins(0, 0, 0, 0);
    m_enabledCheckbox = new QCheckBox(QStringLiteral("Enable hotkeys"));
    m_restoreButton = new QPushButton(QStringLiteral("Restore Defaults"));
    m_restoreButton->setAutoDefault(false);
    footer->addWidget(m_enabledCheckbox);
    footer->addStretch(1);
    footer->addWidget(m_restoreButton);
    outer->addLayout(footer);
}

QLabel *HotkeySettingsWindowController::makeSectionLabel(const QString &text)
{
    return label(text.toUpper(), 10.5, QFont::DemiBold, true);
}

HotkeyRecorderView *HotkeySettingsWindowController::makeRecorder(HotkeyRecorderView::Mode mode)
{
    auto *recorder = new HotkeyRecorderView(mode, m_store, m_keyboard, m_scheduler);
    registerRecorder(recorder);
    return recorder;
}

QWidget *HotkeySettingsWindowController::makeRow(const QString &title, const QString &subtitle,
                                                 HotkeyRecorderView *recorder)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(14, 7, 8, 7);
    auto *text = new QVBoxLayout;
    text->setSpacing(1);
    text->addWidget(label(title, 13, QFont::Normal, false));
    if (!subtitle.isEmpty())
        text->addWidget(label(subtitle, 11, QFont::Normal, true));
    layout->addLayout(text);
    layout->addStretch(1);
    layout->addWidget(recorder, 0, Qt::AlignVCenter);
    return row;
}

QWidget *HotkeySettingsWindowController::makeCard(const QList<QWidget *> &rows)
{
    auto *card = new CardView;
    auto *stack = new QVBoxLayout(card);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    for (QWidget *row : rows) {
        if (row != rows.first()) {
            auto *line = new QHBoxLayout;
            line->setContentsMargins(14, 0, 0, 0);
            line->addWidget(new HairlineView);
            stack->addLayout(line);
        }
        stack->addWidget(row);
    }
    return card;
}

void HotkeySettingsWindowController::registerRecorder(HotkeyRecorderView *recorder)
{
    m_recorders.append(recorder);
    const QPointer<HotkeySettingsWindowController> self(this);
    // The window as a whole records while any of its recorders does.
    recorder->onRecordingChanged = [self](bool) {
        if (!self || !self->onRecordingChanged)
            return;
        const bool any = std::any_of(self->m_recorders.cbegin(), self->m_recorders.cend(),
                                     [](const HotkeyRecorderView *r) { return r->isRecording(); });
        self->onRecordingChanged(any);
    };
}

void HotkeySettingsWindowController::syncFromStore()
{
    m_enabledCheckbox->setChecked(m_store.config().enabled);
    for (HotkeyRecorderView *recorder : std::as_const(m_recorders))
        recorder->refresh();
}

void HotkeySettingsWindowController::showLeaderLimitation()
{
    const QString sentence = leaderLimitation ? leaderLimitation() : QString();
    m_leaderLimitationLabel->setText(sentence);
    m_leaderLimitationLabel->parentWidget()->setVisible(!sentence.isEmpty());
}

void HotkeySettingsWindowController::toggleEnabled()
{
    HotkeyConfig config = m_store.config();
    config.enabled = m_enabledCheckbox->isChecked();
    m_store.setConfig(config);
}

void HotkeySettingsWindowController::stopRecording()
{
    for (HotkeyRecorderView *recorder : std::as_const(m_recorders)) {
        recorder->clearPendingLeader();
        recorder->setRecording(false);
    }
}

void HotkeySettingsWindowController::restoreDefaults()
{
    stopRecording();
    m_store.setConfig(HotkeyConfig::defaults());
}

bool HotkeySettingsWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window.get() && event->type() == QEvent::Close) {
        stopRecording(); // the window only hides
    } else if (watched == m_window.get() && event->type() == QEvent::Show) {
        showLeaderLimitation(); // the desktop's settings may have changed meanwhile
    } else if (watched != m_window.get() && event->type() == QEvent::MouseButtonPress) {
        auto *press = static_cast<QMouseEvent *>(event);
        if (press->button() == Qt::LeftButton && m_window->windowHandle())
            m_window->windowHandle()->startSystemMove();
    }
    return QObject::eventFilter(watched, event);
}
