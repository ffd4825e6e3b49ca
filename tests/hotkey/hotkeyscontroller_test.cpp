#include <gtest/gtest.h>

#include <memory>

#include "hotkey/hotkey.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/modifierflags.h"
#include "platform/fake/fakeglobalshortcutservice.h"

namespace {

using Service = GlobalShortcutService;
constexpr uint64_t kCmdShift = ModifierFlags::kCommand | ModifierFlags::kShift;

class HotKeysControllerTest : public ::testing::Test
{
protected:
    Service::Event eventFor(uint32_t id, uint32_t kind = Service::kHotKeyPressed) const
    {
        Service::Event e;
        e.kind = kind;
        e.hotKeyId = {HotKeysController::kHotKeySignature, id};
        return e;
    }

    FakeGlobalShortcutService service;
    HotKeysController controller{service};
};

TEST_F(HotKeysControllerTest, signature_is_wqvm)
{
    EXPECT_EQ(HotKeysController::kHotKeySignature, 0x5771766Du);
}

TEST_F(HotKeysControllerTest, ids_start_at_1_and_are_never_reused)
{
    auto first = std::make_unique<HotKey>(controller, Key::v, kCmdShift);
    auto second = std::make_unique<HotKey>(controller, Key::k, kCmdShift);
    EXPECT_EQ(controller.findBox(*first)->hotKeyId, 1u);
    EXPECT_EQ(controller.findBox(*second)->hotKeyId, 2u);

    first.reset();
    auto third = std::make_unique<HotKey>(controller, Key::v, kCmdShift);
    EXPECT_EQ(controller.findBox(*third)->hotKeyId, 3u);
    EXPECT_EQ(controller.registry().size(), 2u);
    EXPECT_FALSE(controller.registry().count(1));
}

TEST_F(HotKeysControllerTest, registration_passes_code_mask_signature_and_id_to_the_service)
{
    HotKey hotKey(controller, Key::v, kCmdShift);
    const auto *grab = service.grabFor(9, 768);
    ASSERT_NE(grab, nullptr);
    EXPECT_EQ(grab->id.signature, 0x5771766Du);
    EXPECT_EQ(grab->id.id, 1u);
    const auto box = controller.findBox(hotKey);
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->registration.has_value());
    EXPECT_EQ(box->identifier, hotKey.identifier());
    EXPECT_EQ(box->hotKey.data(), &hotKey);
}

TEST_F(HotKeysControllerTest, registering_the_same_hot_key_twice_does_nothing_the_second_time)
{
    HotKey hotKey(controller, Key::v, kCmdShift);
    controller.registerHotKey(hotKey);
    EXPECT_EQ(service.registerCalls(), 1);
    EXPECT_EQ(controller.registry().size(), 1u);
    EXPECT_EQ(controller.lastHotKeyID(), 1u);
}

TEST_F(HotKeysControllerTest, handler_is_installed_once_on_the_first_successful_registration)
{
    service.refuse(9, 768);
    HotKey refused(controller, Key::v, kCmdShift);
    EXPECT_EQ(service.handlerCount(), 0);
    EXPECT_FALSE(controller.hasEventHandler());
    HotKey a(controller, Key::a, kCmdShift);
    HotKey b(controller, Key::b, kCmdShift);
    EXPECT_EQ(service.handlerCount(), 1);
    EXPECT_TRUE(controller.hasEventHandler());
}

TEST_F(HotKeysControllerTest, refused_registration_keeps_a_silent_entry)
{
    service.refuse(9, 768);
    int downs = 0;
    HotKey hotKey(controller, Key::v, kCmdShift, [&] { ++downs; });
    const auto box = controller.findBox(hotKey);
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->registration.has_value());
    EXPECT_TRUE(service.grabs().empty());
    EXPECT_EQ(downs, 0);
}

TEST_F(HotKeysControllerTest, destroying_unregisters_with_the_registration_even_when_empty)
{
    service.refuse(11, 768);
    {
        HotKey live(controller, Key::v, kCmdShift);
        HotKey silent(controller, Key::b, kCmdShift);
    }
    ASSERT_EQ(service.unregisterCalls().size(), 2u);
    EXPECT_FALSE(service.unregisterCalls()[0].has_value()); // the silent one goes first
    EXPECT_TRUE(service.unregisterCalls()[1].has_value());
    EXPECT_TRUE(service.grabs().empty());
    EXPECT_TRUE(controller.registry().empty());
}

TEST_F(HotKeysControllerTest, key_down_runs_the_handler_and_returns_no_err)
{
    int downs = 0, ups = 0;
    HotKey hotKey(controller, Key::v, kCmdShift, [&] { ++downs; }, [&] { ++ups; });
    EXPECT_EQ(service.press(9, 768), Service::kNoErr);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(service.release(9, 768), Service::kNoErr);
    EXPECT_EQ(ups, 1);
}

TEST_F(HotKeysControllerTest, only_key_down_handler_leaves_the_release_unhandled)
{
    int downs = 0;
    HotKey hotKey(controller, Key::v, kCmdShift, [&] { ++downs; });
    EXPECT_EQ(service.release(9, 768), Service::kEventNotHandledErr);
    EXPECT_EQ(service.press(9, 768), Service::kNoErr);
    EXPECT_EQ(downs, 1);
}

TEST_F(HotKeysControllerTest, no_handler_at_all_is_not_handled)
{
    HotKey hotKey(controller, Key::v, kCmdShift);
    EXPECT_EQ(service.press(9, 768), Service::kEventNotHandledErr);
}

TEST_F(HotKeysControllerTest, handlers_may_be_replaced)
{
    int first = 0, second = 0;
    HotKey hotKey(controller, Key::v, kCmdShift, [&] { ++first; });
    hotKey.setKeyDownHandler([&] { ++second; });
    service.press(9, 768);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
}

TEST_F(HotKeysControllerTest, event_for_a_destroyed_hot_key_is_not_handled_and_leaves_no_entry)
{
    int downs = 0;
    auto hotKey = std::make_unique<HotKey>(controller, Key::v, kCmdShift, [&] { ++downs; });
    const uint32_t id = controller.findBox(*hotKey)->hotKeyId;
    hotKey.reset();
    const auto event = eventFor(id);
    EXPECT_EQ(controller.handleHotKeyEvent(&event), Service::kEventNotHandledErr);
    EXPECT_FALSE(controller.registry().count(id));
    EXPECT_EQ(controller.liveHotKey(id), nullptr);
    EXPECT_EQ(downs, 0);
}

TEST_F(HotKeysControllerTest, paused_hot_key_is_not_handled_and_unpausing_registers_a_new_id)
{
    int downs = 0;
    HotKey hotKey(controller, Key::v, kCmdShift, [&] { ++downs; });
    EXPECT_EQ(controller.findBox(hotKey)->hotKeyId, 1u);

    hotKey.setPaused(true);
    EXPECT_TRUE(hotKey.isPaused());
    EXPECT_FALSE(controller.findBox(hotKey));
    EXPECT_TRUE(service.grabs().empty());
    EXPECT_EQ(service.press(9, 768), Service::kEventNotHandledErr);
    const auto stale = eventFor(1);
    EXPECT_EQ(controller.handleHotKeyEvent(&stale), Service::kEventNotHandledErr);

    hotKey.setPaused(false);
    ASSERT_TRUE(controller.findBox(hotKey));
    EXPECT_EQ(controller.findBox(hotKey)->hotKeyId, 2u);
    EXPECT_EQ(service.press(9, 768), Service::kNoErr);
    EXPECT_EQ(downs, 1);
}

TEST_F(HotKeysControllerTest, paused_flag_is_checked_even_when_the_entry_is_live)
{
    int downs = 0;
    HotKey hotKey(controller, Key::v, kCmdShift, [&] { ++downs; });
    hotKey.setPaused(true);
    // Registered again by hand while the flag stays set.
    controller.registerHotKey(hotKey);
    const uint32_t id = controller.findBox(hotKey)->hotKeyId;
    const auto event = eventFor(id);
    EXPECT_EQ(controller.handleHotKeyEvent(&event), Service::kEventNotHandledErr);
    EXPECT_EQ(downs, 0);
}

struct EventRow {
    const char *name;
    bool nullEvent;
    uint32_t signature;
    uint32_t id;
    uint32_t kind;
    int parameterStatus;
    int expected;
    int expectedDowns;
};

class HandleEventTest : public HotKeysControllerTest, public ::testing::WithParamInterface<EventRow> {};

TEST_P(HandleEventTest, returns_the_status)
{
    const EventRow &row = GetParam();
    int downs = 0, ups = 0;
    HotKey hotKey(controller, Key::v, kCmdShift, [&] { ++downs; }, [&] { ++ups; });
    ASSERT_EQ(controller.findBox(hotKey)->hotKeyId, 1u);
    Service::Event event;
    event.kind = row.kind;
    event.hotKeyId = {row.signature, row.id};
    event.parameterStatus = row.parameterStatus;
    EXPECT_EQ(controller.handleHotKeyEvent(row.nullEvent ? nullptr : &event), row.expected);
    EXPECT_EQ(downs, row.expectedDowns);
    EXPECT_EQ(ups, 0);
}

constexpr uint32_t kSig = HotKeysController::kHotKeySignature;
INSTANTIATE_TEST_SUITE_P(
    Events, HandleEventTest,
    ::testing::Values(
        EventRow{"press_of_live_key_is_handled", false, kSig, 1, 5, 0, Service::kNoErr, 1},
        EventRow{"no_event_is_not_handled", true, kSig, 1, 5, 0, Service::kEventNotHandledErr, 0},
        EventRow{"unreadable_id_returns_the_read_status", false, kSig, 1, 5, -9870, -9870, 0},
        EventRow{"foreign_signature_is_not_handled", false, 0x41424344, 1, 5, 0, Service::kEventNotHandledErr, 0},
        EventRow{"unknown_id_is_not_handled", false, kSig, 7, 5, 0, Service::kEventNotHandledErr, 0},
        EventRow{"other_event_kind_is_not_handled", false, kSig, 1, 9, 0, Service::kEventNotHandledErr, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(HotKeysControllerTest, handler_may_destroy_its_own_hot_key)
{
    auto hotKey = std::make_unique<HotKey>(controller, Key::v, kCmdShift);
    int downs = 0;
    hotKey->setKeyDownHandler([&] {
        ++downs;
        hotKey.reset();
    });
    EXPECT_EQ(service.press(9, 768), Service::kNoErr);
    EXPECT_EQ(downs, 1);
    EXPECT_TRUE(controller.registry().empty());
}

TEST(HotKeysControllerLifetime, service_events_after_the_controller_is_gone_are_not_handled)
{
    FakeGlobalShortcutService service;
    auto controller = std::make_unique<HotKeysController>(service);
    auto hotKey = std::make_unique<HotKey>(*controller, Key::v, kCmdShift, [] {});
    const uint32_t id = controller->findBox(*hotKey)->hotKeyId;
    hotKey.reset();
    controller.reset();
    Service::Event event;
    event.hotKeyId = {HotKeysController::kHotKeySignature, id};
    EXPECT_EQ(service.deliver(event), Service::kEventNotHandledErr);
}

TEST(HotKeyForms, code_and_mask_form_and_key_form_build_the_same_combo)
{
    FakeGlobalShortcutService service;
    HotKeysController controller(service);
    HotKey fromCode(controller, 40u, 2304u);
    HotKey fromKey(controller, Key::k, ModifierFlags::kCommand | ModifierFlags::kOption);
    EXPECT_EQ(fromCode.keyCombo(), fromKey.keyCombo());
    EXPECT_NE(fromCode.identifier(), fromKey.identifier());
    EXPECT_FALSE(fromCode.isPaused());
}

} // namespace
