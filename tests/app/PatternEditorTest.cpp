#include "app/Application.h"
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "app/MyPatterns.h"
#include "app/PatternEditorDock.h"
#include "app/PatternPanel.h"
#include "colors/UserPatternLibrary.h"
#include "editor/View.h"
#include "editor/pattern/PatternControls.h"
#include "editor/pattern/PatternEditorPanel.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QSettings>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// A window with three LEDs under a grid, in Preview.
struct PreviewWindow {
    Document document;
    PreviewWindow()
    {
        document.window()->show();
        for (QPointF p : {QPointF(200, 200), QPointF(400, 300), QPointF(600, 400)})
            document.view()->addVertex(p);
        document.view()->transforms().fitGrid();
    }
    View *view() { return document.view(); }
    PatternEditorDock *dock() { return document.window()->patternEditor(); }
    PatternEditorPanel *panel() { return dock()->panel(); }
    /// The first LED's colour after one preview tick.
    QColor firstLed()
    {
        view()->tick();
        return view()->ledFill(0);
    }
    void type(const QString &text)
    {
        panel()->editor()->selectAll();
        const QStringList lines = text.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(panel()->editor(), Qt::Key_Return);
            QTest::keyClicks(panel()->editor(), lines[i]);
        }
    }
};

void emptyLibrary()
{
    QDir(UserPatternLibrary::defaultFolder()).removeRecursively();
    QSettings().remove(MyPatterns::settingKey);
}

} // namespace

TEST(PatternEditor, TypingShowsOnTheLedsAfterAPauseAndAnErrorIsUnderlinedWhileTheLastGoodProgramRuns)
{
    emptyLibrary();
    Application app;
    PreviewWindow window;
    window.dock()->newPattern();
    ASSERT_TRUE(window.dock()->isVisible());
    EXPECT_EQ(window.view()->mode(), "Preview");
    EXPECT_EQ(window.panel()->controls()->count(), 1) << "the example's slider";

    window.type("export function render(index) { rgb(1, 0, 0) }");
    QTest::qWait(100);
    EXPECT_NE(window.firstLed(), QColor(255, 0, 0)) << "compiled only once the typing pauses";
    QTest::qWait(PatternEditorPanel::compileDelayMs + 100);
    EXPECT_EQ(window.firstLed(), QColor(255, 0, 0));
    EXPECT_TRUE(window.panel()->errorLabel()->isHidden());

    // An error: shown with its place, underlined there; the red program keeps running.
    window.type("export function render(index) {\n  rgb(0, 1, nope)\n}");
    QTest::qWait(PatternEditorPanel::compileDelayMs + 100);
    EXPECT_FALSE(window.panel()->errorLabel()->isHidden());
    EXPECT_TRUE(window.panel()->errorLabel()->text().contains("Untitled:2:13:")) << window.panel()->errorLabel()->text().toStdString();
    const auto underlined = window.panel()->editor()->errorSelections();
    ASSERT_EQ(underlined.size(), 1);
    EXPECT_EQ(underlined[0].cursor.selectedText(), "nope");
    EXPECT_EQ(window.firstLed(), QColor(255, 0, 0));

    // Fixed: the error goes, the new program runs.
    window.type("export function render(index) {\n  rgb(0, 1, 0)\n}");
    QTest::qWait(PatternEditorPanel::compileDelayMs + 100);
    EXPECT_TRUE(window.panel()->errorLabel()->isHidden());
    EXPECT_TRUE(window.panel()->editor()->errorSelections().isEmpty());
    EXPECT_EQ(window.firstLed(), QColor(0, 255, 0));

    // A runtime error names its place and the pattern shows black.
    window.type("var a = array(2)\nexport function render(index) {\n  rgb(a[index + 5], 0, 0)\n}");
    window.panel()->compileNow();
    EXPECT_EQ(window.firstLed(), QColor(0, 0, 0));
    EXPECT_TRUE(window.panel()->errorLabel()->text().contains("Untitled:3:")) << window.panel()->errorLabel()->text().toStdString();
    EXPECT_EQ(window.panel()->editor()->errorSelections().size(), 1);
}

TEST(PatternEditor, ASliderChangesTheLedsAndSavedPatternsAreChosenFromTheViewMenuOfAnotherWindow)
{
    emptyLibrary();
    Application app;
    const int status = app.status();
    PreviewWindow window;
    window.dock()->newPattern();
    window.type("export var level = 0\nexport function sliderLevel(v) { level = v }\n"
                "export function render(index) { rgb(level, 0, 0) }");
    window.panel()->compileNow();
    auto *slider = qobject_cast<QSlider *>(window.panel()->controls()->widgetFor("sliderLevel"));
    ASSERT_TRUE(slider);
    EXPECT_EQ(window.firstLed(), QColor(0, 0, 0));
    slider->setValue(slider->maximum());
    EXPECT_EQ(window.firstLed(), QColor(255, 0, 0));
    EXPECT_TRUE(window.panel()->isModified()) << "a moved slider is a change to save";

    const QString file = app.myPatterns()->library().fileFor("Level");
    ASSERT_TRUE(window.dock()->savePatternTo(file));
    EXPECT_FALSE(window.panel()->isModified());
    EXPECT_EQ(UserPatternLibrary::loadControls(file).value("sliderLevel"), QList<double>{1.0});
    EXPECT_EQ(app.myPatterns()->currentFile(), file);
    EXPECT_EQ(QSettings().value(MyPatterns::settingKey).toString(), file);
    EXPECT_EQ(QSettings().value("status").toInt(), status) << "the built-ins' index stays";

    // Another window lists it after the built-ins, with a thumbnail, and previews it.
    PreviewWindow other;
    other.view()->setMode("Preview");
    EXPECT_EQ(other.firstLed(), QColor(255, 0, 0)) << "with the saved slider value";
    QAction *entry = nullptr;
    for (QAction *menu : other.document.window()->menuBar()->actions())
        if (menu->text() == "&View")
            for (QAction *action : menu->menu()->actions())
                if (action->text() == "Level")
                    entry = action;
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->isChecked());
    auto *patternPanel = other.document.window()->findChild<PatternPanel *>();
    ASSERT_TRUE(patternPanel);
    const QList<QListWidgetItem *> rows = patternPanel->list()->findItems("Level", Qt::MatchExactly);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_GT(patternPanel->list()->row(rows[0]), app.patternActions().size()) << "after the built-ins and a header";
    EXPECT_TRUE(rows[0]->isSelected());
    // Its thumbnail runs it too, slider value and all.
    other.document.window()->findChild<QTabWidget *>()->setCurrentWidget(patternPanel);
    QApplication::processEvents();
    patternPanel->list()->scrollToItem(rows[0]);
    patternPanel->refreshThumbnails();
    const QImage thumbnail = rows[0]->icon().pixmap(PatternPanel::thumbnailSize).toImage();
    bool red = false;
    for (int y = 0; y < thumbnail.height(); ++y)
        for (int x = 0; x < thumbnail.width(); ++x)
            red = red || (thumbnail.pixelColor(x, y).red() > 200 && thumbnail.pixelColor(x, y).green() < 60);
    EXPECT_TRUE(red);

    // A built-in chosen ends the choice; choosing the entry again brings it back.
    app.patternActions()[0]->trigger();
    EXPECT_TRUE(app.myPatterns()->currentFile().isEmpty());
    EXPECT_FALSE(QSettings().contains(MyPatterns::settingKey));
    EXPECT_FALSE(entry->isChecked());
    entry->trigger();
    EXPECT_EQ(app.myPatterns()->currentFile(), file);
    EXPECT_FALSE(app.patternActions()[0]->isChecked());
}

TEST(PatternEditor, TheChosenPatternIsRememberedByItsFile)
{
    emptyLibrary();
    QString file;
    {
        Application app;
        file = app.myPatterns()->library().fileFor("Blue");
        ASSERT_TRUE(UserPatternLibrary::saveSource(file, "export function render(i) { rgb(0, 0, 1) }", nullptr));
        app.myPatterns()->refresh();
        ASSERT_TRUE(app.myPatterns()->choose(file));
    }
    Application again;
    EXPECT_EQ(again.myPatterns()->currentFile(), file);
    PreviewWindow window;
    window.view()->setMode("Preview");
    EXPECT_EQ(window.firstLed(), QColor(0, 0, 255));

    // A file that no longer compiles is not chosen; the choice stays.
    const QString broken = again.myPatterns()->library().fileFor("Broken");
    ASSERT_TRUE(UserPatternLibrary::saveSource(broken, "render(", nullptr));
    QStringList errors;
    EXPECT_FALSE(again.myPatterns()->choose(broken, &errors));
    EXPECT_FALSE(errors.isEmpty());
    EXPECT_EQ(again.myPatterns()->currentFile(), file);
}

TEST(PatternEditor, AFailedSaveKeepsTheTextAndTellsWhy)
{
    emptyLibrary();
    Application app;
    PreviewWindow window;
    window.dock()->newPattern();
    window.type("export function render(i) { rgb(1, 1, 1) }");
    // A folder where a file is: nothing can be written there.
    const QString blocker = QDir(UserPatternLibrary::defaultFolder()).filePath("blocker");
    ASSERT_TRUE(UserPatternLibrary::saveSource(blocker, "x", nullptr));
    QString error;
    EXPECT_FALSE(window.panel()->saveAs(blocker + "/inside.js", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(window.panel()->isModified());
    EXPECT_TRUE(window.panel()->fileName().isEmpty());
    EXPECT_TRUE(window.panel()->editor()->toPlainText().contains("rgb(1, 1, 1)"));
}

TEST(PatternEditor, UnsavedTextAsksBeforeItIsDropped)
{
    emptyLibrary();
    Application app;
    PreviewWindow window;
    window.dock()->newPattern();
    EXPECT_TRUE(window.dock()->maybeDropPattern()) << "the untouched example asks nothing";
    window.type("export function render(i) { rgb(0, 0, 1) }");

    auto answer = [](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [button] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            box->button(button)->click();
        });
    };
    answer(QMessageBox::Cancel);
    window.dock()->newPattern();
    EXPECT_TRUE(window.panel()->editor()->toPlainText().contains("rgb(0, 0, 1)")) << "Cancel keeps the text";
    answer(QMessageBox::Cancel);
    EXPECT_FALSE(window.document.window()->close()) << "nor does the window close";
    answer(QMessageBox::Discard);
    window.dock()->newPattern();
    EXPECT_FALSE(window.panel()->editor()->toPlainText().contains("rgb(0, 0, 1)"));
}
