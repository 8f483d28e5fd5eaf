#pragma once

#include <map>
#include <vector>

namespace x47390_data
{
class LibraryData;
}

namespace ui
{
// Turns the program table's selection and drops into changes of the current program and the library.
class ProgramListControllerInterface
{
public:
    virtual ~ProgramListControllerInterface() = default;
    // The program selection changed: one selected program becomes the current program.
    virtual void selectionChanged() = 0;
    // Sends the single selected program again, even when it is already current.
    virtual void refreshSelection() = 0;
    // newOrder[i] is the row whose program moves to row i.
    virtual void dragInsert(const std::vector<int>& newOrder) = 0;
    // Target row -> source row.
    virtual void dragCopy(const std::map<int, int>& targets) = 0;
    // Target row -> preset key.
    virtual void dragCopyPreset(const std::map<int, int>& targets) = 0;
};
} // namespace ui

namespace x47390_ui
{
class ProgramListController : public ui::ProgramListControllerInterface
{
public:
    explicit ProgramListController(x47390_data::LibraryData& library);
    ~ProgramListController() override = default;

    void selectionChanged() override;
    void refreshSelection() override;
    void dragInsert(const std::vector<int>& newOrder) override;
    void dragCopy(const std::map<int, int>& targets) override;
    void dragCopyPreset(const std::map<int, int>& targets) override;

private:
    x47390_data::LibraryData* library;
};
} // namespace x47390_ui
