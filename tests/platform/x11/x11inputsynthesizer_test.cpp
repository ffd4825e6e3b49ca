// Without an X connection nothing can be synthesised, and the prompt tells the
// user how to paste by hand instead of failing silently.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include "platform/x11/x11inputsynthesizer.h"

namespace {

TEST(X11InputSynthesizer, OffXcbNothingIsTrustedAndThePromptExplainsTheHandPaste)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        GTEST_SKIP() << "runs only off X11 (offscreen), where no XTEST can exist";
    X11InputSynthesizer input;
    EXPECT_FALSE(input.isTrusted());
    input.sendPasteChord(PasteChord::CtrlV); // must do nothing, not crash

    input.promptForTrust();
    input.promptForTrust(); // a second refusal raises the same prompt
    QList<QMessageBox *> boxes;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            boxes.append(box);
    }
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.first()->windowTitle(), QStringLiteral("Collage automatique indisponible"));
    EXPECT_TRUE(boxes.first()->informativeText().contains(QStringLiteral("Ctrl+V")));

    const QString shots = qEnvironmentVariable("BRAMBLET_SCREENSHOT_DIR");
    if (!shots.isEmpty())
        boxes.first()->grab().save(QDir(shots).filePath(QStringLiteral("paste-by-hand-prompt.png")));
    boxes.first()->close();
}

} // namespace
