// A save survives a power cut only when the new file's bytes are on the disk
// before it replaces the old file, and the folder's entry after. What reaches
// the disk cannot be seen from a test, so the calls are: this program's fsync
// and rename come first in symbol lookup and note what they are asked to do.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <mutex>
#include <string>
#include <vector>

#include <QFileInfo>

#include <dlfcn.h>
#include <unistd.h>

#include "store/historyfiles.h"
#include "support/clipsamples.h"
#include "support/logcapture.h"
#include "support/tempenv.h"

namespace {

std::mutex g_mutex;
std::vector<std::string> g_calls;

std::string pathOf(int fd)
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path);
    return n > 0 ? std::string(path, std::size_t(n)) : std::string();
}

void note(const std::string &call)
{
    std::lock_guard lock(g_mutex);
    g_calls.push_back(call);
}

} // namespace

extern "C" int fsync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    note("fsync " + pathOf(fd));
    return real(fd);
}

extern "C" int rename(const char *from, const char *to)
{
    static const auto real = reinterpret_cast<int (*)(const char *, const char *)>(::dlsym(RTLD_NEXT, "rename"));
    note(std::string("rename ") + from + " -> " + to);
    return real(from, to);
}

TEST(SaveDurability, each_file_is_synced_before_it_replaces_the_old_one_and_the_folder_after)
{
    TempEnv env;
    LogCapture quiet;
    HistoryFiles files;
    g_calls.clear();
    files.write({ClipSamples::text(QStringLiteral("un"))}, {{QUuid::createUuid(), QStringLiteral("Projets"), 0}});

    const std::string dir = QFileInfo(env.historyDir()).canonicalFilePath().toStdString();
    const auto at = [](const std::string &call) {
        return std::find(g_calls.begin(), g_calls.end(), call) - g_calls.begin();
    };
    const auto end = qsizetype(g_calls.size());
    for (const std::string name : {"items.json", "folders.json"}) {
        const std::string path = dir + "/" + name;
        const auto synced = at("fsync " + path + ".tmp");
        const auto renamed = at("rename " + path + ".tmp -> " + path);
        ASSERT_LT(synced, end) << name << " was never synced";
        ASSERT_LT(renamed, end) << name << " never replaced the old file";
        EXPECT_LT(synced, renamed) << name << " replaced the old file before its bytes were synced";
        const auto folderSynced = std::find(g_calls.begin() + renamed, g_calls.end(), "fsync " + dir);
        EXPECT_NE(folderSynced, g_calls.end()) << "the folder was not synced after " << name << " was renamed";
    }
}
