#pragma once
// A main window without a window: the logic, a grade book, a session and the scripted desktop,
// started as the program starts.

#include "document/mainlogic.h"
#include "model/gradebookfile.h"
#include "support/fakeplatform.h"

#include "support/testutil.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <ostream>

using namespace Qt::StringLiterals;

// Readable failure messages for texts.
namespace kirune::test {

// A class of `pupils` named pupils with a homeroom record.
inline void FillClass(GradeBook& book, int pupils) {
    book.HomeRoomYear = u"令和8年度"_s;
    book.HomeRoomGrade = u"5年"_s;
    book.HomeRoomClass = u"2組"_s;
    book.TeacherName = u"山田花子"_s;
    book.RosterSize = static_cast<int16_t>(pupils);
    for (int n = 0; n < pupils; ++n)
        book.StudentNames[n] = u"生徒"_s + QString::number(n + 1);
}

class MainLogicTest : public ::testing::Test {
protected:
    MainLogicTest()
        : book(std::make_unique<GradeBook>()),
          logic(std::make_unique<MainLogic>(*book, session, platform)) {}

    // Main: the window loads, the grade book is reset, the window is shown (first activation).
    void Start() {
        logic->Form_Load();
        ResetGradeBook(*book);
        logic->Form_Activate();
    }

    // Writes a grade book file with `pupils` pupils into the temporary folder.
    QString WriteBook(const QString& name, int pupils,
                      const std::function<void(GradeBook&)>& change = {}) {
        auto other = std::make_unique<GradeBook>();
        ResetGradeBook(*other);
        FillClass(*other, pupils);
        if (change)
            change(*other);
        const QString path = platform.dir.filePath(name);
        QString error;
        EXPECT_TRUE(WriteGradeBookFile(path, *other, &error)) << error.toStdString();
        return path;
    }

    void Open(const QString& path) {
        platform.fileAnswers.push_back(path);
        logic->mnuFileOpen_Click();
    }

    // The enabled state of every item the document commands steer.
    std::map<QString, bool> Enabling() const {
        std::map<QString, bool> state;
        for (const Menu item : {Menu::FileNew, Menu::FileOpen, Menu::FileClose, Menu::FileSave,
                                Menu::FileSaveAs, Menu::FilePrint, Menu::EditProperty,
                                Menu::EditNameBook, Menu::CSVSaveAs, Menu::FilePageSetup})
            state[MenuName(item)] = logic->Item(item).enabled;
        for (const auto& button : logic->toolbar)
            state[QStringLiteral("tb:") + button.key] = button.enabled;
        state[QStringLiteral("NeedsSave")] = session.NeedsSave;
        return state;
    }

    // One column of the enabling table.
    static std::map<QString, bool> Expected(bool newOpen, bool closeSaveAs, bool save, bool edit,
                                            bool saveButton, bool print, bool nameBook,
                                            bool needsSave) {
        // Open is offered in every state: over an open book it asks the save question first.
        return {{QStringLiteral("mnuFileNew"), newOpen},
                {QStringLiteral("mnuFileOpen"), true},
                {QStringLiteral("tb:") + u"新規作成"_s, newOpen},
                {QStringLiteral("tb:") + u"開く"_s, true},
                {QStringLiteral("mnuFileClose"), closeSaveAs},
                {QStringLiteral("mnuFileSaveAs"), closeSaveAs},
                {QStringLiteral("mnuFileSave"), save},
                {QStringLiteral("mnuEditProperty"), edit},
                {QStringLiteral("tb:") + u"編集"_s, edit},
                {QStringLiteral("tb:") + u"上書き保存"_s, saveButton},
                {QStringLiteral("mnuFilePrint"), print},
                {QStringLiteral("tb:") + u"印刷"_s, print},
                {QStringLiteral("mnuEditNameBook"), nameBook},
                {QStringLiteral("mnuCSVSaveAs"), closeSaveAs}, // a table to export
                {QStringLiteral("mnuFilePageSetup"), true},
                {QStringLiteral("NeedsSave"), needsSave}};
    }

    std::vector<QString> GridRows() const {
        std::vector<QString> rows;
        for (int r = 0; r < logic->grid.Rows(); ++r)
            rows.push_back(logic->grid.RowString(r));
        return rows;
    }

    static QByteArray ReadAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<GradeBook> book;
    Session session;
    FakePlatform platform;
    std::unique_ptr<MainLogic> logic;
};

inline const QString kSavePrompt = u"ﾌｧｲﾙが保存していません。保存しますか？"_s;

} // namespace kirune::test
