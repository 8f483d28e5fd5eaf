#include "ui/UserListViews.h"

#include "app/CJQZResource.h"
#include "files/UnitManifestValidation.h"
#include "ui/FontLibrary.h"

namespace x47390_ui
{
namespace
{
const juce::Colour rowLineColour(0x44aaaaaa);
const juce::Colour selectedTextColour(0xffd3d3d3);
const juce::Colour textColour(0xff808080);
constexpr int textIndent = 12;

bool isUnitPresent(const x47390_data::UserUnitSlotData& slot)
{
    return (slot.state == x47390_data::UserUnitSlotData::stateOnInstrument
            || slot.state == x47390_data::UserUnitSlotData::stateToUpload)
           && slot.getHeaderWord() != 0;
}
} // namespace

juce::String makeUnitVersionText(juce::uint32 versionField)
{
    const auto part = [versionField](int byte) { return (std::uint8_t) ((versionField >> (8 * byte)) & 0x7F); };
    return juce::String(makeVersionText(part(2), part(1), part(0)));
}

UserUnitListView::UserUnitListView(x47390_data::UserData* data, int rows) : userData(data), numRows(rows) {}

juce::String UserUnitListView::getColumnName(int columnId)
{
    auto* resource = CJQZResource::getInstance();
    switch (columnId)
    {
        case nameColumn:
            return resource->getString("UserListColumnName");
        case versionColumn:
            return resource->getString("UserListColumnVersion");
        case apiColumn:
            return resource->getString("UserListColumnAPI");
        default:
            return {};
    }
}

int UserUnitListView::getColumnWidth(int columnId)
{
    switch (columnId)
    {
        case slotColumn:
            return 48;
        case nameColumn:
            return 180;
        case versionColumn:
        case apiColumn:
            return 80;
        default:
            return 100;
    }
}

void UserUnitListView::paintRowBackground(juce::Graphics& g, int, int width, int height, bool rowIsSelected)
{
    g.setColour(rowLineColour);
    if (rowIsSelected)
        g.fillAll();
    else
        g.drawLine(0.0f, (float) (height - 1), (float) width, (float) (height - 1), 1.0f);
}

juce::String UserUnitListView::getCellText(int row, int columnId) const
{
    if (columnId == slotColumn)
        return juce::String(row + 1);

    const auto& slot = getSlot(row);
    if (slot.state == x47390_data::UserUnitSlotData::stateEmpty)
        return "---";
    if (!isUnitPresent(slot))
        return {};

    switch (columnId)
    {
        case nameColumn:
            return slot.getUnitName();
        case versionColumn:
            return makeUnitVersionText(slot.getUnitVersion());
        case apiColumn:
            return makeUnitVersionText(slot.getApiVersion());
        default:
            return {};
    }
}

void UserUnitListView::paintCell(juce::Graphics& g, int row, int columnId, int width, int height,
                                 bool rowIsSelected)
{
    const char* fontKey = columnId == slotColumn ? "ProgramListNumber"
                          : columnId == nameColumn ? "ProgramListName"
                                                   : "ProgramListCategory";
    g.setFont(ui::FontLibrary::getInstance()->getFont(fontKey));
    if (columnId == nameColumn)
        g.setColour(juce::Colours::white);
    else
        g.setColour(rowIsSelected ? selectedTextColour : textColour);
    g.drawText(getCellText(row, columnId), textIndent, 0, width - textIndent, height,
               juce::Justification::centredLeft, false);
}
} // namespace x47390_ui
