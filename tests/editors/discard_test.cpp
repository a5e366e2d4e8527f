// Every editor window closes at once when nothing was changed in it: opening a window (its boxes
// filled, its lists chosen, the calendar set) is never taken for typing.
#include "browse/bookfixture.h"
#include "editors/criteria/formsemesterspec.h"
#include "editors/criteria/formsubjectspec.h"
#include "editors/homeroom/formhomeroom.h"
#include "editors/test/formtestspec.h"
#include "support/fakeplatform.h"
#include "support/widgettest.h"

#include <functional>
#include <gtest/gtest.h>

namespace kirune {
namespace {

class NoMain : public MainFormHooks {
public:
    void EnableMainWindow() override { ++enabled; }
    void MSFlexGrid1_init() override {}
    void TreeView1_refresh() override {}
    int enabled = 0;
};

TEST(DiscardQuestionTest, AnUntouchedEditorClosesWithoutAsking) {
    using Make = std::function<QWidget*(GradeBook&, Session&, Platform&, MainFormHooks&)>;
    const Make makers[] = {
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
    for (size_t i = 0; i < std::size(makers); ++i) {
        SCOPED_TRACE(i);
        auto book = testing::BookWithPupils({u"青木", u"伊藤"});
        Session session;
        test::FakePlatform platform;
        NoMain main;
        QWidget* window = makers[i](*book, session, platform, main);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        test::ProcessEvents();
        EXPECT_TRUE(window->close());
        test::ProcessEvents();
        EXPECT_TRUE(platform.questions.isEmpty()) << platform.questions.join(u'/').toStdString();
        EXPECT_EQ(main.enabled, 1);
    }
}

} // namespace
} // namespace kirune
