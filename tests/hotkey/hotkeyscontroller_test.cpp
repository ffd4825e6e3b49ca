// The hot-key registry over a fake shortcut service (grabs, refusals and
// pausing against a real X server are in the end-to-end grab test).
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
    // Registered again by hand while paused: still silent.
    hotKey.setPaused(true);
    controller.registerHotKey(hotKey);
    EXPECT_EQ(deliver(controller.findBox(hotKey)->hotKeyId), Service::kEventNotHandledErr);
    EXPECT_EQ(downs, 1);
}

// A handler may destroy its own hot key, and events the service still
// delivers once the controller is gone are not handled.
TEST_F(HotKeysControllerTest, a_hot_key_or_controller_gone_while_events_arrive_is_safe)
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

    FakeGlobalShortcutService other;
    auto gone = std::make_unique<HotKeysController>(other);
    auto key = std::make_unique<HotKey>(*gone, 9u, 768u, [] {});
    key.reset();
    gone.reset();
    Service::Event event;
    event.hotKeyId = {kSig, 1};
    EXPECT_EQ(other.deliver(event), Service::kEventNotHandledErr);
}

} // namespace
