#include "editor/pattern/PatternCodeEditor.h"
#include "editor/pattern/PatternControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTextBlock>

#include <gtest/gtest.h>

using namespace lumora;

TEST(PatternCodeEditor, MarksCoverTheWordAtTheirPlaceAndStayVisibleAtALinesEnd)
{
    PatternCodeEditor editor;
    editor.setPlainText("x = nope + 1\ny = (\n\nz = 1");
    editor.setErrorMarks({{1, 5, "'nope' is not defined"}, {2, 6, "expected an expression"}, {3, 1, "empty"},
                          {9, 1, "past the last line"}});
    const auto selections = editor.errorSelections();
    ASSERT_EQ(selections.size(), 3) << "a place past the text is left out";
    EXPECT_EQ(selections[0].cursor.selectedText(), "nope");
    EXPECT_EQ(selections[0].format.toolTip(), "'nope' is not defined");
    EXPECT_EQ(selections[1].cursor.selectedText(), "(") << "at the end of a line, the last character";
    EXPECT_EQ(selections[2].cursor.selectionStart(), editor.document()->findBlockByNumber(2).position());
    editor.setErrorMarks({});
    EXPECT_TRUE(editor.extraSelections().isEmpty());
}

TEST(PatternCodeEditor, ABlockCommentIsColouredAcrossLinesAndNotPastItsEnd)
{
    PatternCodeEditor editor;
    editor.setPlainText("a = 1 /* one\ntwo */ b = 2\nc = 3 // three");
    editor.show();
    QApplication::processEvents();
    auto colourAt = [&](int line, int column) {
        const QTextBlock block = editor.document()->findBlockByNumber(line);
        for (const QTextLayout::FormatRange &range : block.layout()->formats())
            if (column >= range.start && column < range.start + range.length)
                return range.format.foreground().color();
        return QColor();
    };
    const QColor comment = colourAt(0, 8);
    EXPECT_TRUE(comment.isValid());
    EXPECT_EQ(colourAt(1, 0), comment) << "the comment goes on";
    EXPECT_NE(colourAt(1, 7), comment) << "b is code again";
    EXPECT_EQ(colourAt(2, 9), comment);
    EXPECT_NE(colourAt(2, 4), comment);
}

TEST(PatternControls, EachKindOfControlPassesItsValuesAndKeepsShownValues)
{
    using script::Control;
    using script::ControlKind;
    PatternControls controls;
    const std::vector<Control> list = {{"sliderSpeed", "Speed", ControlKind::Slider, 1},
                                       {"toggleOn", "On", ControlKind::Toggle, 1},
                                       {"triggerGo", "Go", ControlKind::Trigger, 0},
                                       {"inputNumberN", "N", ControlKind::InputNumber, 1},
                                       {"gaugeLevel", "Level", ControlKind::Gauge, 0}};
    controls.setControls(list, {{"sliderSpeed", {0.25}}, {"inputNumberN", {7}}});
    ASSERT_EQ(controls.count(), 5);
    auto *slider = qobject_cast<QSlider *>(controls.widgetFor("sliderSpeed"));
    ASSERT_TRUE(slider);
    EXPECT_EQ(slider->value(), slider->maximum() / 4);
    EXPECT_EQ(qobject_cast<QDoubleSpinBox *>(controls.widgetFor("inputNumberN"))->value(), 7);

    QSignalSpy changed(&controls, &PatternControls::controlChanged);
    slider->setValue(slider->maximum());
    qobject_cast<QCheckBox *>(controls.widgetFor("toggleOn"))->setChecked(true);
    qobject_cast<QPushButton *>(controls.widgetFor("triggerGo"))->click();
    ASSERT_EQ(changed.size(), 3);
    EXPECT_EQ(changed[0][1].value<QList<double>>(), QList<double>{1.0});
    EXPECT_EQ(changed[1][1].value<QList<double>>(), QList<double>{1.0});
    EXPECT_TRUE(changed[2][1].value<QList<double>>().isEmpty());

    // Compiling the same controls again keeps the widgets as the user set them.
    controls.setControls(list, {});
    EXPECT_EQ(controls.widgetFor("sliderSpeed"), slider);
    EXPECT_EQ(slider->value(), slider->maximum());
}
