#pragma once
// What an editor window may ask of the main window while it closes.

namespace kirune {

enum class EditorKind { HomeRoom, Subject, Semester, Test };

class MainFormHooks {
public:
    virtual ~MainFormHooks() = default;
    // Makes the main window accept input again (every editor calls it when it closes).
    virtual void EnableMainWindow() = 0;
    // Resets the main grid to its base layout of numbers and names.
    virtual void MSFlexGrid1_init() = 0;
    // Rebuilds the tree from the grade book.
    virtual void TreeView1_refresh() = 0;
};

} // namespace kirune
