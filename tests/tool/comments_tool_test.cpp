// kirune-tool comments end to end: the comments of one period or of every period as CSV.
#include "model/cp932.h"
#include "model/gradebook.h"
#include "model/gradebookfile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

class CommentsTool : public ::testing::Test {
protected:
    void SetUp() override {
        auto book = std::make_unique<GradeBook>();
        ResetGradeBook(*book);
        book->RosterSize = 3;
        book->StudentNames[0] = u"青木"_s;
        book->StudentNames[2] = u"=上田"_s;
        book->Comments[0] = {u"一学期, よく\n頑張った"_s, u"二学期の所見"_s, QString(), u"年間"_s};
        book->Comments[2][1] = u"\"引用\";も"_s;
        QString error;
        ASSERT_TRUE(WriteGradeBookFile(bookPath, *book, &error)) << error.toStdString();
    }
    int Run(const QStringList& args) {
        QProcess tool;
        tool.start(QStringLiteral(KIRUNE_TOOL_PATH), args);
        if (!tool.waitForFinished(120000))
            return -1;
        errors = QString::fromUtf8(tool.readAllStandardError());
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }
    static QByteArray ReadAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    QString bookPath = dir.filePath(u"class.txt"_s);
    QString errors;
};

TEST_F(CommentsTool, WritesOneRowPerPupilForPastingIntoTheSchoolsSystem) {
    const QString csv = dir.filePath(u"out.csv"_s);
    const struct {
        QStringList options;
        int exitCode;
        QString text; // the CSV file's, "" when none is written
    } cases[] = {
        {{u"--semester"_s, u"2"_s},
         0,
         u"番号,氏名,二学期,\r\n 1,青木,二学期の所見,\r\n 3,'=上田,\"\"\"引用\"\";も\",\r\n"_s},
        {{},
         0,
         u"番号,氏名,一学期,二学期,三学期,年間,\r\n 1,青木,\"一学期, "
         u"よく\n頑張った\",二学期の所見,,"
         u"年間,\r\n 3,'=上田,,\"\"\"引用\"\";も\",,,\r\n"_s},
        {{u"--semester"_s, u"5"_s}, 2, QString()},
    };
    for (const auto& c : cases) {
        QFile::remove(csv);
        EXPECT_EQ(Run(QStringList{u"comments"_s, bookPath, csv} + c.options), c.exitCode)
            << errors.toStdString();
        EXPECT_EQ(DecodeCp932(ReadAll(csv)), c.text);
    }
}

} // namespace
} // namespace kirune
