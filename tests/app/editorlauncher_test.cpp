// The editor windows are opened modeless, deleted when closed, and closed last opened first.
#include "app/editorlauncher.h"
#include "document/mainlogic.h"
#include "support/fakeplatform.h"
#include "support/widgettest.h"

#include <QEvent>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace kirune::test {
namespace {

// Records the windows that receive a close event, in order.
class CloseRecorder : public QObject {
public:
    std::vector<QObject*> closed;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close)
            closed.push_back(watched);
        return false;
    }
};

class EditorLauncherTest : public ::testing::Test {
protected:
    EditorLauncherTest()
        : book(std::make_unique<GradeBook>()),
          logic(std::make_unique<MainLogic>(*book, session, platform)),
          launcher(*book, session, platform, *logic) {
        ResetGradeBook(*book);
    }

    std::unique_ptr<GradeBook> book;
    Session session;
    FakePlatform platform;
    std::unique_ptr<MainLogic> logic;
    EditorLauncher launcher;
};

TEST_F(EditorLauncherTest, OpensEachEditorAsAWindowOfItsOwn) {
    for (EditorKind kind :
         {EditorKind::HomeRoom, EditorKind::Subject, EditorKind::Semester, EditorKind::Test}) {
        if (kind == EditorKind::Subject || kind == EditorKind::Semester)
            session.CurrentSubject = 1;
        QWidget* editor = launcher.Open(kind);
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(editor->isVisible());
        EXPECT_TRUE(editor->isWindow());
        EXPECT_EQ(editor->parentWidget(), nullptr); // a disabled main window leaves it be
        EXPECT_TRUE(editor->testAttribute(Qt::WA_DeleteOnClose));
        EXPECT_EQ(launcher.LastOpened(), editor);
    }
    launcher.CloseAll();
    ProcessEvents();
    EXPECT_EQ(launcher.OpenCount(), 0);
}

TEST_F(EditorLauncherTest, ClosesTheLastOpenedFirstAndTellsWhenAllAreGone) {
    int allClosed = 0;
    QObject::connect(&launcher, &EditorLauncher::allClosed, [&allClosed] { ++allClosed; });
    CloseRecorder recorder;
    QWidget* first = launcher.Open(EditorKind::HomeRoom);
    QWidget* second = launcher.Open(EditorKind::HomeRoom);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    first->installEventFilter(&recorder);
    second->installEventFilter(&recorder);
    EXPECT_EQ(launcher.OpenCount(), 2);

    launcher.CloseAll();
    EXPECT_EQ(recorder.closed, std::vector<QObject*>({second, first}));
    EXPECT_EQ(allClosed, 0); // the windows go away a moment later
    ProcessEvents();
    EXPECT_EQ(launcher.OpenCount(), 0);
    EXPECT_EQ(launcher.LastOpened(), nullptr);
    EXPECT_EQ(allClosed, 1);
}

} // namespace
TEST_F(EditorLauncherTest, EditorsOpenCentredOverTheMainWindowAndF1ShowsTheirHelp) {
    QWidget anchor;
    anchor.setGeometry(100, 80, 600, 450);
    anchor.show();
    launcher.SetAnchor(&anchor);
    QWidget* editor = launcher.Open(EditorKind::HomeRoom);
    ASSERT_NE(editor, nullptr);
    ProcessEvents();
    EXPECT_LE(std::abs(editor->frameGeometry().center().x() - anchor.frameGeometry().center().x()),
              2);
    EXPECT_TRUE(editor->screen()->availableGeometry().contains(editor->frameGeometry()));
    QTest::keyClick(editor, Qt::Key_F1);
    EXPECT_EQ(platform.helpPages, QStringList{QStringLiteral("class.html")});
    launcher.CloseAll();
    ProcessEvents();
}

TEST_F(EditorLauncherTest, AnEditorLargerThanTheScreenIsScrolled) {
    auto* editor = new QWidget;
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setFixedSize(800, 700);
    QPointer<QWidget> window = EditorLauncher::FitIntoArea(editor, QSize(640, 480));
    ASSERT_NE(window.data(), editor);
    EXPECT_EQ(window->size(), QSize(640, 480));
    EXPECT_EQ(AccessibleRole(window), QAccessible::Dialog);
    auto* area = qobject_cast<QScrollArea*>(window.data());
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->widget(), editor);
    window->show();
    editor->close(); // the editor closes itself: its window goes too
    ProcessEvents();
    EXPECT_TRUE(window.isNull());
    QWidget fitting;
    fitting.resize(600, 400);
    EXPECT_EQ(EditorLauncher::FitIntoArea(&fitting, QSize(640, 480)), &fitting);
}

} // namespace kirune::test
