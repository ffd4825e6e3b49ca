#include "soundlibrary.h"

#include <QDir>
#include <QFileInfo>

#include "soundsynth.h"

namespace {

const QStringList kExtensions = {QStringLiteral("wav"), QStringLiteral("ogg"), QStringLiteral("oga")};

bool isSafeName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') && !name.contains(u'\\')
        && !name.contains(QChar(0));
}

} // namespace

SoundLibrary::SoundLibrary(QString userFolder)
    : m_userFolder(std::move(userFolder))
{
}

QString SoundLibrary::userFolder() const
{
    if (!m_userFolder.isEmpty())
        return m_userFolder;
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/sounds");
}

QStringList SoundLibrary::standardNames()
{
    return SoundSynth::names();
}

QStringList SoundLibrary::userNames() const
{
    QStringList filters;
    for (const QString &ext : kExtensions)
        filters << QStringLiteral("*.") + ext;
    const QStringList standard = standardNames();
    QStringList out;
    const QFileInfoList files = QDir(userFolder()).entryInfoList(filters, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &info : files) {
        const QString base = info.completeBaseName();
        if (isSafeName(base) && !standard.contains(base) && !out.contains(base))
            out.append(base);
    }
    return out;
}

std::optional<QUrl> SoundLibrary::resolve(const QString &name) const
{
    if (!isSafeName(name))
        return std::nullopt;
    const QDir folder(userFolder());
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (kExtensions.contains(suffix)) {
        const QFileInfo direct(folder.filePath(name));
        if (direct.isFile() && direct.isReadable())
            return QUrl::fromLocalFile(direct.absoluteFilePath());
    }
    for (const QString &ext : kExtensions) {
        const QFileInfo candidate(folder.filePath(name + u'.' + ext));
        if (candidate.isFile() && candidate.isReadable())
            return QUrl::fromLocalFile(candidate.absoluteFilePath());
    }
    const QString shipped = QStringLiteral(":/sounds/") + name + QStringLiteral(".wav");
    if (QFileInfo::exists(shipped))
        return QUrl(QStringLiteral("qrc") + shipped);
    return std::nullopt;
}
