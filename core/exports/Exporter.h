#pragma once

#include "document/LayoutSnapshot.h"
#include "colors/PatternRender.h"
#include "common/SaveFile.h"

#include "patterns/framework/PixelPattern.h"

#include <QHash>
#include <QImage>

#include <QString>
#include <QStringList>

#include <functional>

namespace lumora {

class ColorPattern;
class UserPattern;

/// The colours of one picture or frame, one per LED in LED order (none: black).
using LedColors = QList<std::optional<PixelColor>>;

/// What an export did: the files written, the ones that could not be written (with the
/// reason), and pictures that could not be read (their LEDs exported black).
struct ExportReport {
    QStringList written;
    QStringList failures;
    QStringList warnings;
    /// The files whose writing failed: each still holds what it held before (or is absent).
    QStringList unchanged;
    bool cancelled = false;

    bool ok() const { return failures.isEmpty() && !cancelled; }
    void merge(const ExportReport &other);
    /// After a failure, which files of the folder are new and which are old, so that nobody
    /// takes a mix of both for one export: "new: a.h, b.ppm; old, not replaced: c.h; not
    /// written: d.h". Empty when nothing failed.
    QString mixSummary() const;
};

/// How the picture headers are written. Modern, the default, compiles with today's toolchains: an include
/// guard, <stdint.h>, `const uint8_t`, a PROGMEM that works off AVR, and images.h with
/// NUM_LEDS and IMAGE_COUNT. Classic is the text older sketches include (`prog_uchar
/// image<i>[] PROGMEM`), which no avr-libc since 1.8 compiles. Names and sizes are the same,
/// so cases.h works with either.
enum class HeaderStyle { Classic, Modern };

/// The colour arrays beyond which a typical AVR's flash is full.
constexpr qsizetype avrFlashBytes = 32 * 1024;

/// The exports of one layout into the folder of its document file: the pattern PPM, the
/// per-picture or per-frame headers with images.h, cases.h and their PPM, and the template
/// picture. Every file is written atomically; a file that cannot be written is reported and
/// the others are still written.
class Exporter {
public:
    Exporter(LayoutSnapshot layout, const QString &documentFile);

    void setHeaderStyle(HeaderStyle style) { m_headerStyle = style; }
    /// Rows of the pattern PPM (3000 unless set).
    void setPatternFrames(int frames) { m_patternFrames = frames; }
    /// Renders the pattern PPM on the patterns' vector path (off by default): quicker for the
    /// heavy patterns, but a few bytes may differ from the exact file.
    void setFast(bool fast) { m_fast = fast; }
    /// Writes the files into this folder instead of the document's, so that several layouts
    /// sharing one folder keep their own image<i>.h, images.h and cases.h. Pictures are still
    /// found from the document's folder. The folder must exist.
    void setOutputFolder(const QString &folder);
    QString outputFolder() const { return m_outputFolder; }

    /// The export command: the pattern PPM, then the animation export when the animation tab
    /// shows, the image export otherwise.
    ExportReport exportAll(const ColorPattern &pattern, bool animationTab, RenderControl *control = nullptr);

    /// "<pattern name>.ppm": 3000 rows (or setPatternFrames) of one pixel per LED.
    ExportReport exportAnimationPattern(const ColorPattern &pattern, RenderControl *control = nullptr);
    /// The same for a pattern the user wrote: "<file's base name>.ppm", frame i after i calls
    /// of its beforeRender(200). An error of the pattern fails the PPM with its place.
    ExportReport exportAll(const UserPattern &pattern, bool animationTab, RenderControl *control = nullptr);
    ExportReport exportAnimationPattern(const UserPattern &pattern, RenderControl *control = nullptr);
    /// image<i>.h per background picture, images.h, cases.h, frame000.ppm.
    ExportReport exportImages();
    /// image<i>.h per frame of the current track, images.h, cases.h, frame001.ppm.
    ExportReport exportAnimation();
    /// "<document name>.png": a magenta disc of diameter 20 per LED on 1024 × 768, y up.
    /// The name is taken only when it is free or holds a template written before; a picture
    /// of the layout (or any other file) is never overwritten: the template then goes to
    /// "<document name>-template.png" (or the first free "-template-<n>.png") and the
    /// report says so.
    ExportReport exportTemplate();
    /// The file name the template export writes, in the document's folder.
    QString templateFileName() const;
    /// Whether the file is a template this program wrote (it carries the marker chunk).
    static bool isTemplateFile(const QString &fileName);

    /// The template picture itself. Discs are stamped from sprites rendered once at eighth-
    /// pixel offsets, so a million LEDs take a second; overlapping discs stay solid.
    static QImage templateImage(const QList<QPointF> &leds);
    /// The colour of each LED for one animation frame: the frame picture's pixel (or red
    /// without a picture) where the frame lights the LED, black elsewhere. LEDs beyond the
    /// frame's selection are dark.
    static LedColors frameColors(const AnimationFrame &frame, const QList<QPointF> &leds,
                                                        const QImage &picture);
    /// The colour of LED k for one animation frame, as frameColors gives it.
    static std::optional<PixelColor> frameColor(const AnimationFrame &frame, qsizetype k, QPointF led,
                                                const QImage &picture);

private:
    /// The colour of every LED for picture i, asked for in LED order.
    using PictureColors = std::function<std::optional<PixelColor>(qsizetype led)>;
    /// Writes image<i>.h for each of n pictures, then the PPM, cases.h and images.h. Each
    /// picture is prepared in turn and streamed in blocks of LEDs, so memory stays bounded
    /// whatever the LED count.
    ExportReport writePictures(qsizetype n, const std::function<PictureColors(qsizetype i)> &picture,
                               const QString &ppmName);
    void write(ExportReport &report, const QString &name, const QByteArray &bytes) const;
    /// Writes "<name>.ppm" of the pattern animation that `render` hands to its sink.
    ExportReport writePatternPpm(const QString &name, const std::function<bool(const RenderSink &)> &render,
                                 RenderControl *control, const QString *problem = nullptr);
    /// Commits a streamed file and notes it as written or failed.
    void finish(ExportReport &report, SaveFile &file) const;
    QString path(const QString &name) const;

    /// The text of image<i>.h before and after its colour lines, in the header style.
    QByteArray headerOpening(qsizetype index) const;
    QByteArray headerClosing() const;
    QByteArray includeList(qsizetype count) const;

    /// A picture as this export reads it: through the document's pictures, brought up to
    /// date with the disk. The background is kept (`keep`) once read, so that the pattern
    /// PPM and the headers of the same file come from one decode; the others are let go
    /// after use, so that an export of many pictures holds one at a time.
    struct ReadPicture {
        QImage image;
        QString problem;
    };
    ReadPicture readPicture(const QUrl &url, bool keep = false);
    ReadPicture readPicture(const PicturePtr &picture, bool keep = false);

    LayoutSnapshot m_layout;
    std::shared_ptr<PictureCache> m_pictures;
    QHash<QString, ReadPicture> m_read;
    HeaderStyle m_headerStyle = HeaderStyle::Modern;
    int m_patternFrames = 3000;
    bool m_fast = false;
    QString m_folder;
    QString m_outputFolder;
    QString m_documentName;
};

} // namespace lumora
