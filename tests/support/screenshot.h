#pragma once

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

// Saves a rendering as `name` in $BRAMBLET_SCREENSHOT_DIR (docs/screenshots is
// made this way), else in a temporary folder, so it is written and checked
// on every run. False when there was nothing to save or writing failed.
inline bool saveScreenshot(const QImage &image, const QString &name)
{
    static QTemporaryDir fallback;
    QString dir = qEnvironmentVariable("BRAMBLET_SCREENSHOT_DIR");
    if (dir.isEmpty())
        dir = fallback.path();
    QDir().mkpath(dir);
    return !image.isNull() && image.save(QDir(dir).filePath(name));
}
