#include "analysis/ui/MListView.h"

#include "platform/ui/ListView.h"

#include <QHeaderView>

#include <algorithm>

namespace MListView {

void ListViewAutoSizeColumns(ListView *list, int width) {
    if (!list)
        return;
    for (int column = 1; column <= list->columnCount(); ++column)
        ListViewSetColumnWidth(list, column, width);
}

void ListViewSetColumnWidth(ListView *list, int column, int width) {
    if (!list || list->view() != ListView::Report || column < 1 || column > list->columnCount())
        return;
    const int index = column - 1;
    int pixels = width;
    if (width == AutoSize || width == AutoSizeUseHeader) {
        pixels = list->contentWidth(index);
        if (width == AutoSizeUseHeader)
            pixels = std::max(pixels, list->header()->sectionSizeHint(index));
    }
    list->setColumnWidth(index, std::max(pixels, 0));
}

} // namespace MListView
