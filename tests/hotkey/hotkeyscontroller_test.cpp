#include <gtest/gtest.h>

#include <memory>

#include "hotkey/hotkey.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/modifierflags.h"
#include "platform/fake/fakeglobalshortcutservice.h"

namespace {

using Service = GlobalShortcutService;
constexpr uint64_t kCmdShift = ModifierFlags::kCommand | ModifierFlags::kShift;
constexpr uint32_t kSig = HotKeysController::kHotKeySignature;

class HotKeysControllerTest : public ::testing::Test
{
protected:
    int deliver(uint32_t id, uint32_t kind = Service::kHotKeyPressed, uint32_t signature = kSig, int status = 0)
    {
        Service::Event e;
        e.kind = kind;
        e.hotKeyId = {signature, id};
        e.parameterStatus = status;
        return controller.handleHotKeyEvent(&e);
    }

    FakeGlobalShortcutService service;
    HotKeysController controller{service};
    int downs = 0, ups = 0;
};

TEST_F(HotKeysControllerTest, registers_code_mask_and_wqvm_signature_with_ids_never_reused)
{
    auto first = std::make_unique<HotKey>(controller, Key::v, kCmdShift);
    const auto *grab = service.grabFor(9, 768);
    ASSERT_NE(grab, nullptr);
    EXPECT_EQ(grab->id.signature, 0x5771766Du);
    EXPECT_EQ(grab->id.id, 1u);
    controller.registerHotKey(*first); // already registered: nothing more
    EXPECT_EQ(service.registerCalls(), 1);

    auto second = std::make_unique<HotKey>(controller, Key::k, kCmdShift);
    first.reset();
    auto third = std::make_unique<HotKey>(controller, Key::v, kCmdShift);
    EXPECT_EQ(controller.findBox(*second)->hotKeyId, 2u);
    EXPECT_EQ(controller.findBox(*third)->hotKeyId, 3u);
    EXPECT_EQ(controller.registry().size(), 2u);
}

// A refused grab keeps a silent entry (no handler is installed for it), and
// is unregistered with its empty registration like any other.
TEST_F(HotKeysControllerTest, refused_registration_is_silent_and_destroying_unregisters_even_when_empty)
{
    service.refuse(9, 768);
    {
        HotKey refused(controller, Key::v, kCmdShift, [&] { ++downs; });
        EXPECT_FALSE(controller.findBox(refused)->registration.has_value());
        EXPECT_EQ(service.handlerCount(), 0);
        HotKey live(controller, Key::b, kCmdShift);
        EXPECT_EQ(service.handlerCount(), 1);
        EXPECT_EQ(service.press(9, 768), Service::kEventNotHandledErr);
        EXPECT_EQ(downs, 0);
    }
    ASSERT_EQ(service.unregisterCalls().size(), 2u);
    EXPECT_TRUE(service.unregisterCalls()[0].has_value());
    EXPECT_FALSE(service.unregisterCalls()[1].has_value());
    EXPECT_TRUE(service.grabs().empty());
    EXPECT_TRUE(controller.registry().empty());
}

TEST_F(HotKeysControllerTest, press_and_release_run_their_handlers_and_only_own_presses_are_handled)
{
    HotKey hotKey(controller, Key::v, kCmdShift, [&] { ++downs; });
    EXPECT_EQ(service.release(9, 768), Service::kEventNotHandledErr); // no key-up handler
    EXPECT_EQ(service.press(9, 768), Service::kNoErr);
    hotKey.setKeyUpHandler([&] { ++ups; });
    EXPECT_EQ(service.release(9, 768), Service::kNoErr);
    EXPECT_EQ(std::pair(downs, ups), std::pair(1, 1));

    EXPECT_EQ(controller.handleHotKeyEvent(nullptr), Service::kEventNotHandledErr);
    EXPECT_EQ(deliver(1, Service::kHotKeyPressed, kSig, -9870), -9870) << "an unreadable id gives the read status";
    EXPECT_EQ(deliver(1, Service::kHotKeyPressed, 0x41424344), Service::kEventNotHandledErr) << "foreign signature";
    EXPECT_EQ(deliver(7), Service::kEventNotHandledErr) << "unknown id";
    EXPECT_EQ(deliver(1, 9), Service::kEventNotHandledErr) << "other event kind";
    EXPECT_EQ(downs, 1);
    hotKey.setKeyDownHandler({});
    EXPECT_EQ(service.press(9, 768), Service::kEventNotHandledErr);
}

TEST_F(HotKeysControllerTest, paused_hot_key_is_not_handled_and_unpausing_registers_a_new_id)
{
    HotKey hotKey(controller, Key::v, kCmdShift, [&] { ++downs; });
    hotKey.setPaused(true);
    EXPECT_FALSE(controller.findBox(hotKey));
    EXPECT_TRUE(service.grabs().empty());
    EXPECT_EQ(deliver(1), Service::kEventNotHandledErr);
    // Registered again by hand while the flag stays set: still silent.
    controller.registerHotKey(hotKey);
    EXPECT_EQ(deliver(controller.findBox(hotKey)->hotKeyId), Service::kEventNotHandledErr);
    controller.unregisterHotKey(hotKey);

    hotKey.setPaused(false);
    EXPECT_EQ(controller.findBox(hotKey)->hotKeyId, 3u);
    EXPECT_EQ(service.press(9, 768), Service::kNoErr);
    EXPECT_EQ(downs, 1);
}

TEST_F(HotKeysControllerTest, a_handler_destroying_its_own_hot_key_is_safe)
{
    auto hotKey = std::make_unique<HotKey>(controller, Key::v, kCmdShift);
    hotKey->setKeyDownHandler([&] {
        ++downs;
        hotKey.reset();
    });
    EXPECT_EQ(service.press(9, 768), Service::kNoErr);
    EXPECT_EQ(downs, 1);
    EXPECT_TRUE(controller.registry().empty());
    EXPECT_EQ(deliver(1), Service::kEventNotHandledErr);
}

TEST(HotKeysControllerLifetime, service_events_after_the_controller_is_gone_are_not_handled)
{
    FakeGlobalShortcutService service;
    auto controller = std::make_unique<HotKeysController>(service);
    auto hotKey = std::make_unique<HotKey>(*controller, Key::v, kCmdShift, [] {});
    // The code-and-mask form builds the same combo as the key form.
    EXPECT_EQ(HotKey(*controller, 9u, 768u).keyCombo(), hotKey->keyCombo());
    hotKey.reset();
    controller.reset();
    Service::Event event;
    event.hotKeyId = {kSig, 1};
    EXPECT_EQ(service.deliver(event), Service::kEventNotHandledErr);
}

} // namespace
