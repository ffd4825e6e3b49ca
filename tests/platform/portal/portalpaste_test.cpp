// Paste-back over the RemoteDesktop portal, as a Wayland session without the
// virtual keyboard runs it: the first paste asks the desktop, a refusal
// leaves the clip on the clipboard with the paste-by-hand prompt, and once
// the desktop agrees pastes go out as keys.
#include <gtest/gtest.h>

#include <QTest>

#include "paste/pasteback.h"
#include "platform/fake/fakeactivewindow.h"
#include "platform/fake/fakebeeper.h"
#include "platform/fake/fakeclipboard.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakesoundplayer.h"
#include "platform/portal/portalfixture.h"
#include "platform/portal/portalinputsynthesizer.h"
#include "store/clipboardstore.h"
#include "support/memoryhistoryfiles.h"

namespace {

ClipboardItem textClip(const QByteArray &text)
{
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.kind = ClipKind::Text;
    item.raw = text;
    item.dataUTI = QStringLiteral("public.plain-text");
    return item;
}

WindowRef window(quint32 id, const QString &cls)
{
    WindowRef w;
    w.id = id;
    w.appId = cls;
    w.wmClass = cls;
    w.wmInstance = cls;
    return w;
}

class PortalPasteTest : public PortalFixture
{
protected:
    void SetUp() override
    {
        PortalFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        files = std::make_unique<MemoryHistoryFiles>(tmp.path());
        store = std::make_unique<ClipboardStore>(*files, clock, defaults, sound);
        input = std::make_unique<PortalInputSynthesizer>(defaults, [this] { ++handPastePrompts; }, address());
        paste = std::make_unique<PasteBack>(*store, clipboard, activeWindow, *input, beeper, clock);
        paste->setHooks({{}, [this] { return target; }});
    }

    void TearDown() override
    {
        paste.reset();
        input.reset();
        store.reset();
    }

    bool settle() { return QTest::qWaitFor([&] { return !input->isStarting(); }, 5000); }

    FakeClock clock;
    FakeSoundPlayer sound;
    FakeClipboard clipboard;
    FakeActiveWindow activeWindow;
    FakeBeeper beeper;
    std::unique_ptr<MemoryHistoryFiles> files;
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<PortalInputSynthesizer> input;
    std::unique_ptr<PasteBack> paste;
    std::optional<WindowRef> target = window(42, QStringLiteral("gedit"));
    int handPastePrompts = 0;
};

TEST_F(PortalPasteTest, refused_then_granted_then_pasted_as_keys)
{
    FakePortal::Answers refusing;
    refusing.consentResponse = 1;
    portal->setAnswers(refusing);

    paste->paste(textClip("alpha"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(portal->consentDialogs(), 1);
    EXPECT_EQ(handPastePrompts, 1);
    EXPECT_EQ(beeper.beeps, 1);
    ASSERT_EQ(clipboard.writes().size(), 1); // there for Ctrl+V by hand
    EXPECT_TRUE(portal->keys().isEmpty());

    // The next paste asks again; this time the user agrees. That paste is
    // still the user's to make, the ones after go out as keys.
    portal->setAnswers(FakePortal::Answers());
    paste->paste(textClip("beta"));
    ASSERT_TRUE(settle());
    ASSERT_TRUE(input->isTrusted());
    EXPECT_EQ(portal->consentDialogs(), 2);
    EXPECT_EQ(handPastePrompts, 1);

    target = window(43, QStringLiteral("kitty"));
    paste->paste(textClip("gamma"));
    const QList<FakePortal::Key> ctrlShiftV{{29, 1}, {42, 1}, {47, 1}, {47, 0}, {42, 0}, {29, 0}};
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal->keys().size() >= ctrlShiftV.size(); }, 5000));
    EXPECT_EQ(portal->keys(), ctrlShiftV);
    EXPECT_EQ(clipboard.writes().size(), 3);
    EXPECT_EQ(portal->consentDialogs(), 2);
}

} // namespace
