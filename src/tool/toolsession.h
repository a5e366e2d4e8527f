#pragma once
// The steps every table command of kirune-tool takes before its output: start as the program
// starts, open the grade book and click the given tree nodes, on the very logic of the main
// window.

#include "document/mainlogic.h"
#include "toolplatform.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace kirune::tool {

class ToolSession {
public:
    ToolSession();
    ToolSession(const ToolSession&) = delete;
    ToolSession& operator=(const ToolSession&) = delete;

    // The window loads, the grade book is reset, the window shows; then `file` is opened and
    // each key selected in turn. False, with a message on stderr, when the file cannot be opened
    // or a key names no node of the tree.
    bool OpenAndSelect(const QString& file, const QStringList& keys);

    // The grade book is large: it lives on the heap. The logic refers to the members before it.
    std::unique_ptr<GradeBook> book;
    Session session;
    ToolPlatform platform;
    MainLogic logic;
};

} // namespace kirune::tool
