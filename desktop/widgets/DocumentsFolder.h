#pragma once
#include <QDir>
#include <QStandardPaths>
#include <QString>

namespace vorn {
// Where file dialogs start when no calculation folder is set: the user's documents, or the
// home folder on a system that has no documents folder.
inline QString documentsFolder() {
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !docs.isEmpty() && QDir(docs).exists() ? docs : QDir::homePath();
}
} // namespace vorn
