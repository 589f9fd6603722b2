#include "app/Application.h"
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "app/PatternPanel.h"
#include "document/UndoManager.h"
#include "editor/View.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace lumora;

TEST(PatternPanel, SearchNarrowsTheListAndChoosingIsChoosingInTheMenu)
{
    Application app;
    app.setStatus(0);
    Document document;
    document.view()->addVertex({300, 300});
    document.view()->addVertex({500, 400});
    PatternPanel panel(&app, document.model());
    panel.resize(240, 600);
    panel.show();

    ASSERT_EQ(panel.list()->count(), app.patternActions().size());
    EXPECT_TRUE(panel.list()->item(0)->isSelected()) << "the current pattern is highlighted";

    QTest::keyClicks(panel.searchField(), "heART");
    EXPECT_EQ(panel.shownPatterns(), QStringList{"Heart"});
    QListWidgetItem *heart = panel.list()->findItems("Heart", Qt::MatchExactly).value(0);
    ASSERT_TRUE(heart);
    QTest::mouseClick(panel.list()->viewport(), Qt::LeftButton, {}, panel.list()->visualItemRect(heart).center());
    const int index = heart->data(Qt::UserRole).toInt();
    EXPECT_EQ(app.status(), index);
    EXPECT_EQ(QSettings().value("status").toInt(), index);
    EXPECT_TRUE(app.patternActions()[index]->isChecked());

    // Chosen in the menu, the panel follows; and the thumbnails render.
    panel.searchField()->clear();
    app.patternActions()[1]->trigger();
    EXPECT_TRUE(panel.list()->item(1)->isSelected());
    EXPECT_FALSE(heart->isSelected());
    panel.refreshThumbnails();
    EXPECT_EQ(panel.list()->item(1)->icon().actualSize(PatternPanel::thumbnailSize), PatternPanel::thumbnailSize);
}

TEST(PatternPanel, PreviewRefusedForWantOfAGridOffersTheFixInTheStatusBar)
{
    Document document;
    DocumentWindow *window = document.window();
    window->show();
    document.view()->addVertex({200, 200});
    document.view()->addVertex({400, 300});
    document.undoManager()->endGrouping();
    auto *offer = window->findChild<QToolButton *>("fitGridOffer");
    ASSERT_TRUE(offer);
    EXPECT_FALSE(offer->isVisible());
    window->toolbarAction("Preview")->trigger();
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("complete grid"));
    ASSERT_TRUE(offer->isVisible());

    QTest::mouseClick(offer, Qt::LeftButton);
    EXPECT_EQ(document.view()->model()->gridState(), 3);
    EXPECT_EQ(document.view()->mode(), "Preview");
    EXPECT_TRUE(window->toolbarAction("Preview")->isChecked());
    EXPECT_FALSE(offer->isVisible());
    document.undoManager()->endGrouping();
    EXPECT_EQ(document.undoManager()->undoActionName(), "move grid");
}
