#include "toolsession.h"

#include "commands.h"

using namespace Qt::StringLiterals;

namespace kirune::tool {

ToolSession::ToolSession() : book(std::make_unique<GradeBook>()), logic(*book, session, platform) {}

bool ToolSession::OpenAndSelect(const QString& file, const QStringList& keys) {
    logic.Form_Load();
    ResetGradeBook(*book);
    logic.Form_Activate();

    if (!logic.OpenPath(file))
        return false;
    for (const QString& key : keys) {
        if (!logic.SelectNodeByKey(key)) {
            PrintError(u"ツリーにない項目です: \""_s + key + u'"');
            return false;
        }
    }
    return true;
}

} // namespace kirune::tool
