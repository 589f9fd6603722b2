#pragma once

#include "colors/UserPattern.h"
#include "patterns/framework/PixelPattern.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QTimer>
#include <QWidget>

#include <memory>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace lumora {

class Application;
class DocumentModel;

/// A searchable list of the patterns beside the layout, each with a small live thumbnail
/// of the pattern on the window's layout, the current pattern highlighted. Choosing one
/// triggers the same pattern action as the View menu, so the choice lands in the setting
/// "status" and every window follows. "My Patterns" follow the built-in ones, each with a
/// thumbnail from a run of its own.
class PatternPanel : public QWidget {
    Q_OBJECT
public:
    PatternPanel(Application *application, DocumentModel *model, QWidget *parent = nullptr);

    QLineEdit *searchField() const { return m_search; }
    QListWidget *list() const { return m_list; }
    /// The names of the patterns the search leaves, in order.
    QStringList shownPatterns() const;
    /// Renders the thumbnails of the rows in view, as many as a few milliseconds allow,
    /// taking turns so every row is refreshed at a low rate.
    void refreshThumbnails();

    static constexpr QSize thumbnailSize{64, 48};

private:
    void filter(const QString &text);
    void showCurrent(int index);
    /// The LEDs (at most a few hundred of them, evenly sampled) in grid units and thumbnail
    /// pixels; a sampled LED takes its place in the sample as its index.
    void updateGeometry();
    QImage thumbnail(int patternIndex) const;
    QImage userThumbnail(const QString &file);
    /// The rows of My Patterns, after the built-in ones, listed again.
    void fillMyPatterns();
    void paintDots(QImage &image, const QByteArray &rgb) const;

    Application *m_application;
    DocumentModel *m_model;
    QLineEdit *m_search;
    QListWidget *m_list;
    QTimer m_timer;
    int m_next = 0;
    bool m_geometryStale = true;
    QList<QPointF> m_gridPoints;
    /// What the Image pattern samples: the layout's picture and LED box.
    PixelSource m_pixels;
    QList<QPointF> m_thumbnailPoints;
    QList<QPointF> m_samplePositions;
    int m_builtInRows = 0;
    struct UserThumbnail {
        std::unique_ptr<UserPatternRun> run;
        QElapsedTimer clock;
        bool failed = false;
    };
    QHash<QString, std::shared_ptr<UserThumbnail>> m_userRuns;
    double m_dotRadius = 2;
};

} // namespace lumora
