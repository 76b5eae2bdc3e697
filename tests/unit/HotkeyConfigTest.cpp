#include "FakeDefaultsStore.h"
#include "model/HotkeyConfigJson.h"
#include "model/HotkeyStore.h"
#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

namespace {

class HotkeyStoreTest : public ::testing::Test
{
protected:
    void store(const QByteArray &json) { defaults.values[HotkeyStore::storageKey] = json; }

    std::unique_ptr<HotkeyStore> load()
    {
        auto loaded = std::make_unique<HotkeyStore>(defaults, notifications);
        QObject::connect(&notifications, &NotificationCenter::posted, loaded.get(),
                         [this](const QString &name) { posted.append(name); });
        return loaded;
    }

    FakeDefaultsStore defaults;
    NotificationCenter notifications;
    QStringList posted;
};

TEST_F(HotkeyStoreTest, NothingStoredMeansTheDefaults)
{
    auto hotkeys = load();
    const HotkeyConfig &config = hotkeys->config();
    EXPECT_TRUE(config.enabled);
    EXPECT_EQ(config.leaderModifiersRaw, 1572864u);
    EXPECT_EQ(config.binding(HotkeyAction::copySlot5), (KeyBinding{23, 0, "5"}));
    EXPECT_EQ(config.binding(HotkeyAction::addClipboard), (KeyBinding{24, 0, "+"}));
    EXPECT_EQ(config.binding(HotkeyAction::deleteItem), (KeyBinding{7, 0, "X"}));
    EXPECT_EQ(defaults.writes, 0);
    EXPECT_EQ(HotkeyConfigJson::encode(HotkeyConfig::defaults()),
              QByteArray(R"({"enabled":true,"leaderModifiersRaw":1572864,"bindings":{}})"));
}

TEST_F(HotkeyStoreTest, ExplicitNullUnbindsButAnAbsentMemberMeansTheDefault)
{
    store(R"({"enabled":true,"leaderModifiersRaw":1572864,"bindings":{"deleteItem":null}})");
    EXPECT_FALSE(load()->config().binding(HotkeyAction::deleteItem));
    store(R"({"enabled":true,"leaderModifiersRaw":1572864,"bindings":{}})");
    EXPECT_EQ(load()->config().binding(HotkeyAction::deleteItem), HotkeyConfig::defaultBinding(HotkeyAction::deleteItem));
}

TEST_F(HotkeyStoreTest, AnyFlawRejectsTheWholeStoredValueAndKeepsIt)
{
    const QList<QByteArray> flawed = {
        R"({"leaderModifiersRaw":1572864,"bindings":{}})",
        R"({"enabled":true,"leaderModifiersRaw":-1,"bindings":{}})",
        R"({"enabled":true,"leaderModifiersRaw":1.5,"bindings":{}})",
        R"({"enabled":true,"leaderModifiersRaw":1e3,"bindings":{}})",
        R"({"enabled":true,"leaderModifiersRaw":18446744073709551616,"bindings":{}})",
        R"({"enabled":"yes","leaderModifiersRaw":1,"bindings":{}})",
        R"({"enabled":true,"leaderModifiersRaw":1,"bindings":[]})",
        R"({"enabled":true,"leaderModifiersRaw":1,"bindings":{"copySlot1":{"keyCode":4294967296,"modifiersRaw":0,"label":"1"}}})",
        R"({"enabled":true,"leaderModifiersRaw":1,"bindings":{"copySlot1":{"keyCode":18,"label":"1"}}})",
        R"({"enabled":true,"leaderModifiersRaw":1,"bindings":{"copySlot1":{"keyCode":18,"modifiersRaw":0,"label":1}}})",
        R"({"enabled":true,"leaderModifiersRaw":1,"bindings":{}} trailing)",
        R"({"enabled":true,"leaderModifiersRaw":01,"bindings":{}})",
        R"({"enabled":true,"leaderModifiersRaw":1,"bindings":{"copySlot1":{"keyCode":1,"modifiersRaw":0,"label":"\u+041"}}})",
        R"({"enabled":true,"leaderModifiersRaw":1,"bindings":{"copySlot1":{"keyCode":1,"modifiersRaw":0,"label":"\uD800"}}})",
        R"({"enabled":true,"leaderModifiersRaw":1,"bindings":{"copySlot1":{"keyCode":1,"modifiersRaw":0,"label":"\uDC00x"}}})",
        QByteArray(R"({"enabled":true,"leaderModifiersRaw":1,"bindings":{"copySlot1":{"keyCode":1,"modifiersRaw":0,"label":")")
            + "\xff\xfe" + R"("}}})",
        "not json",
        "",
    };
    for (const QByteArray &json : flawed) {
        store(json);
        auto hotkeys = load();
        EXPECT_EQ(hotkeys->config(), HotkeyConfig::defaults()) << json.constData();
        EXPECT_EQ(defaults.dataForKey(HotkeyStore::storageKey), json); // left as it was
    }
}

TEST_F(HotkeyStoreTest, TheFullUnsignedRangeAndUnknownKeysSurviveARoundTrip)
{
    store(R"({"enabled":false,"leaderModifiersRaw":18446744073709551615,"extra":[1,{"x":null}],)"
          R"("bindings":{"someFutureAction":{"keyCode":4294967295,"modifiersRaw":18446744073709551615,"label":"\u00e9\"\\"},)"
          R"("copySlot1":{"keyCode":19,"modifiersRaw":0,"label":"2","note":"ignored"}}})");
    auto hotkeys = load();
    const HotkeyConfig &config = hotkeys->config();
    EXPECT_FALSE(config.enabled);
    EXPECT_EQ(config.leaderModifiersRaw, ~quint64(0));
    ASSERT_TRUE(config.bindings.contains("someFutureAction"));
    EXPECT_EQ(config.bindings.value("someFutureAction"),
              (KeyBinding{0xFFFFFFFFu, ~quint64(0), QString::fromUtf8("\u00e9\"\\")}));

    HotkeyConfig changed = config;
    changed.enabled = true;
    hotkeys->setConfig(changed);
    const std::optional<HotkeyConfig> reread = HotkeyConfigJson::decode(*defaults.dataForKey(HotkeyStore::storageKey));
    ASSERT_TRUE(reread);
    EXPECT_EQ(*reread, changed);
    EXPECT_FALSE(defaults.dataForKey(HotkeyStore::storageKey)->contains(' '));
    EXPECT_FALSE(defaults.dataForKey(HotkeyStore::storageKey)->contains("note"));
}

TEST_F(HotkeyStoreTest, EscapedPairsAndRepeatedNamesReadAsExpected)
{
    store(R"({"enabled":true,"enabled":false,"leaderModifiersRaw":0,)"
          R"("bindings":{"copySlot1":{"keyCode":1,"modifiersRaw":0,"label":"\uD83D\uDE00"}}})");
    auto hotkeys = load();
    EXPECT_FALSE(hotkeys->config().enabled); // the last of a repeated name
    EXPECT_EQ(hotkeys->config().binding(HotkeyAction::copySlot1)->label, QString::fromUtf8("\U0001F600"));

    // Many members stay fast to read: each name is looked up once.
    QByteArray many = R"({"enabled":true,"leaderModifiersRaw":0,"bindings":{)";
    for (int i = 0; i < 40000; ++i)
        many += "\"k" + QByteArray::number(i) + "\":null,";
    many += R"("last":null}})";
    store(many);
    EXPECT_EQ(load()->config().bindings.size(), 40001);
}

TEST_F(HotkeyStoreTest, IntegersBeyondTwoToThe53StayExact)
{
    // 2^53 + 1 and 2^54 + 1: a double would round both to even neighbours.
    store(R"({"enabled":true,"leaderModifiersRaw":9007199254740993,)"
          R"("bindings":{"copySlot1":{"keyCode":1,"modifiersRaw":18014398509481985,"label":"1"}}})");
    auto hotkeys = load();
    EXPECT_EQ(hotkeys->config().leaderModifiersRaw, 9007199254740993ull);
    EXPECT_EQ(hotkeys->config().binding(HotkeyAction::copySlot1)->modifiersRaw, 18014398509481985ull);
    HotkeyConfig changed = hotkeys->config();
    changed.enabled = false;
    hotkeys->setConfig(changed);
    const QByteArray written = *defaults.dataForKey(HotkeyStore::storageKey);
    EXPECT_TRUE(written.contains(":9007199254740993,")) << written.constData();
    EXPECT_TRUE(written.contains(":18014398509481985,")) << written.constData();
}

TEST_F(HotkeyStoreTest, OnlyTheLastOfARepeatedMemberIsRead)
{
    store(R"({"enabled":true,"leaderModifiersRaw":-1,"leaderModifiersRaw":2,"bindings":{}})");
    EXPECT_EQ(load()->config().leaderModifiersRaw, 2u);
    store(R"({"enabled":true,"leaderModifiersRaw":2,"leaderModifiersRaw":-1,"bindings":{}})");
    EXPECT_EQ(load()->config(), HotkeyConfig::defaults());
    store(R"({"enabled":true,"leaderModifiersRaw":2,"bindings":)"
          R"({"deleteItem":{"keyCode":12,"modifiersRaw":0,"label":"Q"},"deleteItem":null}})");
    auto hotkeys = load();
    EXPECT_EQ(hotkeys->config().leaderModifiersRaw, 2u);
    EXPECT_FALSE(hotkeys->config().binding(HotkeyAction::deleteItem));
}

TEST_F(HotkeyStoreTest, TakingAnotherActionsKeySwapsThemWithOneNotification)
{
    auto hotkeys = load();
    hotkeys->setBinding(KeyBinding{19, 0, "2"}, HotkeyAction::copySlot1);
    EXPECT_EQ(hotkeys->config().bindings.value("copySlot1"), (KeyBinding{19, 0, "2"}));
    EXPECT_EQ(hotkeys->config().bindings.value("copySlot2"), (KeyBinding{18, 0, "1"}));
    EXPECT_EQ(posted, QStringList({"zorv.hotkeys.didChange"}));
    EXPECT_EQ(defaults.writes, 1);

    // An action without a binding hands over "unbound".
    hotkeys->setBinding(std::nullopt, HotkeyAction::restoreHistory);
    EXPECT_TRUE(hotkeys->config().bindings.contains("restoreHistory"));
    EXPECT_FALSE(hotkeys->config().binding(HotkeyAction::restoreHistory));
    hotkeys->setBinding(KeyBinding{7, 0, "X"}, HotkeyAction::restoreHistory);
    EXPECT_TRUE(hotkeys->config().bindings.contains("deleteItem"));
    EXPECT_FALSE(hotkeys->config().binding(HotkeyAction::deleteItem));

    const int before = int(posted.size());
    hotkeys->setConfig(hotkeys->config()); // equal: nothing
    hotkeys->setBinding(KeyBinding{7, 0, "X"}, HotkeyAction::restoreHistory);
    EXPECT_EQ(posted.size(), before);

    hotkeys->setConfig(HotkeyConfig::defaults()); // the only way back to the defaults
    EXPECT_TRUE(hotkeys->config().bindings.isEmpty());
}

TEST(KeyBindingTest, LabelsAndModifiersFromKeyEvents)
{
    EXPECT_EQ(KeyBinding::fromEvent({49, QString(" "), 0})->label, "Space");
    const auto shifted = KeyBinding::fromEvent({0, QString("a"), 0x120000 | 0x10000 /* caps lock */});
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->label, "A");
    EXPECT_EQ(shifted->modifiersRaw, 0x120000u);
    EXPECT_EQ(KeyBinding::fromEvent({0, QString::fromUtf8("\u00df"), 0})->label, "SS");
    EXPECT_FALSE(KeyBinding::fromEvent({50, QString("\n"), 0}));
    EXPECT_FALSE(KeyBinding::fromEvent({50, std::nullopt, 0}));
    EXPECT_EQ(KeyBinding::fromEvent({111, QString("x"), 0})->label, "F12");

    EXPECT_EQ((KeyBinding{0, 0x180000, "A"}.carbonModifiers()), 0x900u);
    EXPECT_EQ((KeyBinding{0, 0x1E0000, "A"}.carbonModifiers()), 0x1B00u);
    EXPECT_EQ(modifierGlyphs(0x1E0000), QStringList({"Ctrl", "Alt", "Shift", "Super"}));
    EXPECT_TRUE(modifierGlyphs(0x10000).isEmpty());
    EXPECT_EQ((KeyBinding{18, 0x80000 | 0x10000, "1"}.title()), "Alt+1"); // caps lock is no modifier here
    EXPECT_EQ((KeyBinding{4, 0x60000, "H"}.title()), "Ctrl+Shift+H");
    EXPECT_EQ((KeyBinding{24, 0, "+"}.title()), "+");
}

TEST(HotkeyActionTest, TitlesAndRawValues)
{
    EXPECT_EQ(HotkeyActions::allCases().size(), 8);
    EXPECT_EQ(HotkeyActions::title(HotkeyAction::copySlot3), "Copy item 3");
    EXPECT_EQ(HotkeyActions::title(HotkeyAction::deleteItem), QString::fromUtf8("Delete item (then 1\u20135)"));
    for (HotkeyAction action : HotkeyActions::allCases())
        EXPECT_EQ(HotkeyActions::fromRawValue(HotkeyActions::rawValue(action)), action);
    EXPECT_FALSE(HotkeyActions::fromRawValue("CopySlot1"));
}

} // namespace
