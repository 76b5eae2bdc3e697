#include "views/HotkeyRecorderView.h"

#include "model/HotkeyStore.h"
#include "platform/GlobalInput.h"
#include "views/KeyCapView.h"
#include "views/SystemColors.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace {

quint64 modifierBits(Qt::KeyboardModifiers modifiers)
{
    quint64 bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= ModifierBits::shift;
    if (modifiers & Qt::ControlModifier)
        bits |= ModifierBits::control;
    if (modifiers & Qt::AltModifier)
        bits |= ModifierBits::option;
    if (modifiers & Qt::MetaModifier)
        bits |= ModifierBits::command; // Super on X11
    return bits;
}

// The modifier a key press or release of a modifier key itself changes.
std::optional<quint64> modifierOfKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
        return ModifierBits::shift;
    case Qt::Key_Control:
        return ModifierBits::control;
    case Qt::Key_Alt:
        return ModifierBits::option;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return ModifierBits::command;
    default:
        return std::nullopt;
    }
}

// Smaller caps for chords whose names do not fit at the usual height.
constexpr int fallbackCapHeights[] = {17, 14};

} // namespace

HotkeyRecorderView::HotkeyRecorderView(Mode mode, HotkeyStore &store, const GlobalInput &keyboard,
                                       Scheduler &scheduler, QWidget *parent)
    : QWidget(parent)
    , m_mode(mode)
    , m_store(store)
    , m_keyboard(keyboard)
    , m_scheduler(scheduler)
{
    setFixedSize(viewSize);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_Hover);
    m_placeholder = new QLabel(this);
    m_placeholder->setGeometry(rect());
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font = m_placeholder->font();
    font.setPixelSize(12);
    m_placeholder->setFont(font);
    m_marker = new QLabel(tapTwiceMarker, this);
    m_marker->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont markerFont = m_marker->font();
    markerFont.setPixelSize(11);
    markerFont.setWeight(QFont::Medium);
    m_marker->setFont(markerFont);
    m_marker->hide();
    refresh();
}

HotkeyRecorderView::~HotkeyRecorderView() = default;

void HotkeyRecorderView::setRecording(bool recording)
{
    if (recording == m_isRecording)
        return;
    m_isRecording = recording;
    refresh();
    if (onRecordingChanged)
        onRecordingChanged(recording);
}

QStringList HotkeyRecorderView::capTitles() const
{
    if (m_mode.isLeader()) {
        const quint64 shown = m_isRecording ? m_pendingLeader : m_store.config().leaderModifiersRaw;
        return modifierGlyphs(shown & ModifierBits::mask);
    }
    if (m_isRecording)
        return {};
    const std::optional<KeyBinding> binding = m_store.config().binding(*m_mode.action);
    if (!binding)
        return {};
    return modifierGlyphs(binding->modifiersRaw & ModifierBits::mask) << binding->label;
}

QString HotkeyRecorderView::placeholderText() const
{
    return m_placeholder->text();
}

void HotkeyRecorderView::refresh()
{
    const QStringList titles = capTitles();
    layOutCaps(titles);
    QString prompt;
    if (m_mode.isLeader())
        prompt = m_isRecording ? holdModifiersText : QString();
    else
        prompt = m_isRecording ? typeAKeyText : clickToSetText;
    m_placeholder->setText(titles.isEmpty() ? prompt : QString());
    QPalette text = m_placeholder->palette();
    text.setColor(QPalette::WindowText,
                  m_isRecording ? SystemColors::accent(palette()) : SystemColors::tertiaryLabel(palette()));
    m_placeholder->setPalette(text);
    QPalette marker = m_marker->palette();
    marker.setColor(QPalette::WindowText, SystemColors::secondaryLabel(palette()));
    m_marker->setPalette(marker);
    update();
}

void HotkeyRecorderView::layOutCaps(const QStringList &titles)
{
    qDeleteAll(m_caps);
    m_caps.clear();
    const bool showMarker = m_mode.isLeader() && !m_isRecording && !titles.isEmpty();
    m_marker->setVisible(showMarker);
    m_marker->adjustSize();
    const int markerWidth = showMarker ? capSpacing + m_marker->width() : 0;

    int height = capHeight;
    int total = 0;
    for (int attempt = 0;; ++attempt) {
        for (const QString &title : titles)
            m_caps.append(new KeyCapView(title, height, m_scheduler, this));
        total = markerWidth;
        for (const KeyCapView *cap : std::as_const(m_caps))
            total += cap->capSize().width() + (cap == m_caps.first() ? 0 : capSpacing);
        if (total <= width() - 2 * capSpacing || attempt == int(std::size(fallbackCapHeights)))
            break;
        qDeleteAll(m_caps);
        m_caps.clear();
        height = fallbackCapHeights[attempt];
    }

    // Centred, one point below the middle.
    int x = (width() - total) / 2;
    const int centreY = height / 2 + (this->height() - height) / 2 + 1;
    for (KeyCapView *cap : std::as_const(m_caps)) {
        cap->moveCapTo(QPoint(x, centreY - height / 2));
        cap->show();
        x += cap->capSize().width() + capSpacing;
    }
    if (showMarker)
        m_marker->move(x, centreY - m_marker->height() / 2);
}

QColor HotkeyRecorderView::borderColor() const
{
    return m_isRecording ? SystemColors::accent(palette()) : SystemColors::separator(palette());
}

QColor HotkeyRecorderView::backgroundColor() const
{
    if (m_isRecording)
        return SystemColors::withAlpha(SystemColors::accent(palette()), 0.08);
    return SystemColors::label(palette(), m_isHovered ? 0.07 : 0.03);
}

void HotkeyRecorderView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal border = m_isRecording ? 2 : 1;
    painter.setPen(QPen(borderColor(), border));
    painter.setBrush(backgroundColor());
    const qreal inset = border / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), cornerRadius, cornerRadius);
}

bool HotkeyRecorderView::event(QEvent *event)
{
    if (!m_isRecording)
        return QWidget::event(event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Menu shortcuts and Tab must come here as plain keys.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto *key = static_cast<QKeyEvent *>(event);
        const std::optional<quint64> modifier = modifierOfKey(key->key());
        if (modifier) {
            if (m_mode.isLeader() && !key->isAutoRepeat()) {
                const quint64 held = modifierBits(key->modifiers());
                recordModifiers(event->type() == QEvent::KeyPress ? held | *modifier : held & ~*modifier);
            }
        } else if (event->type() == QEvent::KeyPress) {
            recordKey(*key);
        }
        return true;
    }
    default:
        return QWidget::event(event);
    }
}

void HotkeyRecorderView::recordKey(const QKeyEvent &event)
{
    const std::optional<TranslatedKey> key = m_keyboard.translateKey(event.nativeScanCode());
    const quint64 held = modifierBits(event.modifiers()) & ModifierBits::mask;
    if (key && key->keyCode == escapeKeyCode) {
        clearPendingLeader();
        setRecording(false);
        return;
    }
    if (!key || m_mode.isLeader()) {
        QApplication::beep(); // keeps recording
        return;
    }
    const HotkeyAction action = *m_mode.action;
    if ((key->keyCode == deleteKeyCode || key->keyCode == forwardDeleteKeyCode) && held == 0) {
        m_store.setBinding(std::nullopt, action);
    } else {
        const std::optional<KeyBinding> binding =
            KeyBinding::fromEvent(KeyEvent{key->keyCode, key->charactersIgnoringModifiers, held});
        if (!binding) {
            QApplication::beep();
            return;
        }
        m_store.setBinding(binding, action);
    }
    clearPendingLeader();
    setRecording(false);
}

void HotkeyRecorderView::recordModifiers(quint64 heldNow)
{
    const quint64 current = heldNow & ModifierBits::mask;
    m_pendingLeader |= current;
    if (current != 0 || m_pendingLeader == 0) {
        refresh();
        return;
    }
    // Everything pressed since recording began, stored when the last key went up.
    HotkeyConfig config = m_store.config();
    config.leaderModifiersRaw = m_pendingLeader & ModifierBits::mask;
    m_store.setConfig(config);
    clearPendingLeader();
    setRecording(false);
}

void HotkeyRecorderView::mousePressEvent(QMouseEvent *)
{
    clearPendingLeader();
    if (m_isRecording) {
        setRecording(false); // cancelled; nothing stored
        return;
    }
    setFocus(Qt::MouseFocusReason);
    setRecording(true);
}

void HotkeyRecorderView::focusOutEvent(QFocusEvent *event)
{
    clearPendingLeader();
    setRecording(false);
    QWidget::focusOutEvent(event);
}

void HotkeyRecorderView::enterEvent(QEnterEvent *)
{
    m_isHovered = true;
    refresh();
}

void HotkeyRecorderView::leaveEvent(QEvent *)
{
    m_isHovered = false;
    refresh();
}

void HotkeyRecorderView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        refresh();
}
