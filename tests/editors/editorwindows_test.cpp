// What every editor window shares: it closes at once when nothing was changed in it (opening a
// window, its boxes filled, its lists chosen, the calendar set, is never taken for typing), and
// every caption in it shows whole.
#include "browse/bookfixture.h"
#include "editors/criteria/formsemesterspec.h"
#include "editors/criteria/formsubjectspec.h"
#include "editors/homeroom/formhomeroom.h"
#include "editors/exam/formtestspec.h"
#include "support/fakeplatform.h"
#include "support/widgettest.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace kirune {
namespace {

class NoMain : public MainFormHooks {
public:
    void EnableMainWindow() override { ++enabled; }
    void MSFlexGrid1_init() override {}
    void TreeView1_refresh() override {}
    int enabled = 0;
};

using Make = std::function<QWidget*(GradeBook&, Session&, Platform&, MainFormHooks&)>;
const Make kMakers[] = {
    [](GradeBook& b, Session& s, Platform& p, MainFormHooks& m) {
        return new FormHomeRoom(b, s, p, m);
    },
    [](GradeBook& b, Session& s, Platform& p, MainFormHooks& m) {
        return new FormTestSpec(b, s, p, m);
    },
    [](GradeBook& b, Session& s, Platform& p, MainFormHooks& m) {
        return new FormSemesterSpec(b, s, p, m);
    },
    [](GradeBook& b, Session& s, Platform& p, MainFormHooks& m) {
        return new FormSubjectSpec(b, s, p, m);
    },
};

// One editor window of a class of two, shown.
struct ShownEditor {
    explicit ShownEditor(const Make& make) : window(make(*book, session, platform, main)) {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        test::ProcessEvents();
    }
    ~ShownEditor() { delete window.data(); }
    std::unique_ptr<GradeBook> book = testing::BookWithPupils({u"青木", u"伊藤"});
    Session session;
    test::FakePlatform platform;
    NoMain main;
    QPointer<QWidget> window;
};

TEST(DiscardQuestionTest, AnUntouchedEditorClosesWithoutAsking) {
    for (size_t i = 0; i < std::size(kMakers); ++i) {
        SCOPED_TRACE(i);
        ShownEditor editor(kMakers[i]);
        EXPECT_TRUE(editor.window->close());
        test::ProcessEvents();
        EXPECT_TRUE(editor.platform.questions.isEmpty())
            << editor.platform.questions.join(u'/').toStdString();
        EXPECT_EQ(editor.main.enabled, 1);
    }
}

// The captions that do not fit their control: a label's text (without its access key mark)
// wider or taller than the label, a button's wider than the button less its bevel, a check
// box's text beside its indicator, a frame's title.
QStringList CutCaptions(QWidget* window) {
    QStringList cut;
    // A caption of two lines (a narrow button's) is as wide as its widest line.
    const auto tooWide = [](const QWidget* w, const QString& text, int room) {
        for (const QString& line : QString(text).remove(u'&').split(u'\n'))
            if (w->fontMetrics().horizontalAdvance(line) > room)
                return true;
        return false;
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        QString caption;
        bool fits = true;
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
            caption = label->text();
            fits = label->wordWrap() || (!tooWide(label, caption, label->contentsRect().width()) &&
                                         label->fontMetrics().height() <= label->height());
        } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
            caption = check->text();
            fits = caption.isEmpty() || check->sizeHint().width() <= check->width();
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            caption = button->text();
            const int iconRoom = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
            fits = !tooWide(button, caption, button->width() - 8 - iconRoom);
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            caption = box->title();
            fits = !tooWide(box, caption, box->width() - 12);
        }
        if (!fits)
            cut << caption;
    }
    // Labels whose texts run into each other.
    std::vector<std::pair<QRect, QString>> drawn;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty())
            continue;
        // A wrapped label is made as large as its lines.
        const QRect text = label->wordWrap()
                               ? label->contentsRect()
                               : label->style()->itemTextRect(
                                     label->fontMetrics(), label->contentsRect(),
                                     label->alignment(), true, QString(label->text()).remove(u'&'));
        const QRect inWindow(label->mapTo(window, text.topLeft()), text.size());
        for (const auto& [other, otherText] : drawn)
            if (inWindow.intersects(other))
                cut << label->text() + QStringLiteral(" / ") + otherText;
        drawn.emplace_back(inWindow, label->text());
    }
    return cut;
}

TEST(EditorWindowTest, EveryCaptionIsWhole) {
    for (size_t i = 0; i < std::size(kMakers); ++i) {
        SCOPED_TRACE(i);
        ShownEditor editor(kMakers[i]);
        EXPECT_EQ(CutCaptions(editor.window), QStringList());
    }
}

} // namespace
} // namespace kirune
