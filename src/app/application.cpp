#include "application.h"

#include <QApplication>

#include "platform/appid.h"
#include "platform/logger.h"
#include "platform/systemclock.h"
#include "platform/userdefaults.h"
#include "platform/soundplayer.h"
#include "store/clipboardstore.h"
#include "store/historyfiles.h"

namespace {

// Until the sound player lands, copies play nothing.
class SilentSoundPlayer final : public SoundPlayer
{
public:
    void play(const QString &) override {}
};

} // namespace

namespace Application {

int run(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(kAppName));
    QApplication::setQuitOnLastWindowClosed(false);

    static HistoryFiles files;
    static SilentSoundPlayer sound;
    auto *store = new ClipboardStore(files, SystemClock::instance(), UserDefaults::shared(), sound, nullptr, &app);
    ClipboardStoreInjector::shared().store = store;

    return app.exec();
}

} // namespace Application
