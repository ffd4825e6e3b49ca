// Placeholder until the history codec lands: keeps nothing on disk.
#include "historyfiles.h"

#include <QDir>

struct HistoryFiles::Cache {};

HistoryFiles::HistoryFiles(const QString &directory) : m_directory(directory) {}
HistoryFiles::~HistoryFiles() = default;
QString HistoryFiles::itemsPath() const { return m_directory + QStringLiteral("/items.json"); }
QString HistoryFiles::foldersPath() const { return m_directory + QStringLiteral("/folders.json"); }
HistoryFiles::Loaded HistoryFiles::load() { return {}; }
void HistoryFiles::write(const QList<ClipboardItem> &, const QList<ClipboardFolder> &) {}
