#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace lumora {

/// Watches a document's file for what others do to it: changed bytes (not the ones this
/// document last wrote or read) or the file moved away or deleted. The file and its folder
/// are both watched, because an atomic save replaces the file and ends a watch on it.
class DocumentFileWatcher : public QObject {
    Q_OBJECT
public:
    explicit DocumentFileWatcher(QObject *parent = nullptr);

    /// Watches the file, whose content is now the bytes (empty name: watches nothing).
    void watch(const QString &fileName, const QByteArray &bytes);
    /// The bytes this document just wrote or took over: not a change by someone else.
    void setKnownBytes(const QByteArray &bytes);
    QString fileName() const { return m_fileName; }
    /// Checks the file now rather than after the short settling delay.
    void checkNow();

signals:
    /// The file holds bytes this document did not write; told once per distinct content.
    void changedOnDisk(const QByteArray &bytes);
    /// The file is no longer in its folder (moved, renamed or deleted); told once until it
    /// returns. A folder gone as a whole is not told: saving there fails and says so.
    void gone();

private:
    void rewatch();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_fileName;
    QByteArray m_known;
    QByteArray m_told;
    bool m_toldGone = false;
};

} // namespace lumora
