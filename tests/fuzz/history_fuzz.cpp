// The history files' reader: the input is the text of items.json and of
// folders.json. It is read three ways that must agree: whole from memory,
// streamed in chunks of a size the first byte picks (so records straddle
// chunk ends), and from disk through HistoryFiles::load. Every record that
// reads must write back to text that reads again to the same text. Read from
// disk with long strings left out, it must decode the same.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include "fuzzsupport.h"
#include "model/historycodec.h"
#include "model/jsonarraystream.h"
#include "model/payload.h"
#include "store/historyfiles.h"

namespace {

QTemporaryDir *g_root = nullptr;

template<typename Record, typename Encode, typename Decode>
void checkRoundTrip(const QList<Record> &records, Encode encode, Decode decode)
{
    for (const Record &record : records) {
        const QByteArray once = encode(record);
        QString why;
        const std::optional<Record> again = decode(once, &why);
        if (!again)
            Fuzz::fail("a record that was read does not read back once written", once + "\n" + why.toUtf8());
        if (encode(*again) != once)
            Fuzz::fail("a record changes on a second write", once);
    }
}

// `whole` must equal what `decode` reads from `text` streamed in chunks of `step` bytes.
template<typename Decoded, typename Decode>
void checkChunked(const Decoded &whole, Decode decode, QByteArrayView text, qsizetype step, const char *what)
{
    qsizetype at = 0;
    JsonArrayStream stream(
        [&](char *buffer, qint64 capacity, QString *) -> qint64 {
            const qsizetype n = qMin(qMin<qsizetype>(step, qsizetype(capacity)), text.size() - at);
            std::memcpy(buffer, text.data() + at, std::size_t(n));
            at += n;
            return n;
        },
        16, text.size());
    const Decoded other = decode(stream);
    if (whole.records != other.records || whole.skipped != other.skipped || whole.problem != other.problem)
        Fuzz::fail(what, ("whole: " + whole.problem + " / chunks: " + other.problem).toUtf8());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::quietLog();
    // Memory-backed when the system has it: each run writes and removes files.
    const QString shm = QStringLiteral("/dev/shm");
    g_root = QFileInfo(shm).isWritable() ? new QTemporaryDir(shm + QStringLiteral("/bramblet-fuzz-XXXXXX"))
                                         : new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype step = 1 + data[0] % 64;
    const QByteArrayView text(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);

    const auto items = HistoryCodec::decodeItems(text);
    const auto folders = HistoryCodec::decodeFolders(text);
    checkChunked(items, [](JsonArrayStream &in) { return HistoryCodec::decodeItems(in); }, text, step,
                 "items read in chunks differ from items read whole");
    checkChunked(folders, [](JsonArrayStream &in) { return HistoryCodec::decodeFolders(in); }, text, step,
                 "folders read in chunks differ from folders read whole");
    checkRoundTrip(items.records, &HistoryCodec::encodeItem, &HistoryCodec::decodeItem);
    checkRoundTrip(folders.records, &HistoryCodec::encodeFolder, &HistoryCodec::decodeFolder);

    // The files on disk, as the store reads them at start-up.
    const QString directory = g_root->path() + QStringLiteral("/Bramblet");
    {
        HistoryFiles files(directory);
        for (const QString &path : {files.itemsPath(), files.foldersPath()}) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                Fuzz::fail("cannot write the history file", path.toUtf8());
            file.write(text.data(), text.size());
        }
        const HistoryFiles::Loaded loaded = files.load();
        if (loaded.items != items.records || loaded.folders != folders.records)
            Fuzz::fail("the files on disk read differently from the same bytes in memory");
        // Strings from `step` bytes on left out of the records and read
        // again from the file, as the load does with large contents.
        const int fd = ::open(QFile::encodeName(files.itemsPath()).constData(), O_RDONLY | O_CLOEXEC);
        auto payloads = std::make_shared<PayloadFile>(fd, files.itemsPath());
        qint64 at = 0;
        JsonArrayStream stream(
            [&](char *buffer, qint64 capacity, QString *) -> qint64 {
                const ssize_t n = ::pread(fd, buffer, std::size_t(qMin<qint64>(capacity, step)), off_t(at));
                at += qMax<ssize_t>(n, 0);
                return n;
            },
            16, text.size());
        stream.leaveOutStringsFrom(step);
        const auto leftOut = HistoryCodec::decodeItems(stream, payloads);
        if (leftOut.records != items.records || leftOut.skipped != items.skipped || leftOut.problem != items.problem)
            Fuzz::fail("items read with long strings left out differ from items read whole",
                       ("whole: " + items.problem + " / left out: " + leftOut.problem).toUtf8());
    }
    // The damaged copies kept aside; the folder itself stays for the next run.
    QDir folder(directory);
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden))
        folder.remove(name);
    return 0;
}
