#pragma once
// Column widths of a list view in report view.

class ListView;

namespace MListView {

// Automatic widths, as the platform list view understands them.
inline constexpr int AutoSize = -1;          // fits the column's content
inline constexpr int AutoSizeUseHeader = -2; // fits the content and the header text

// Sets `width` on every column, 1 up to the header count.
void ListViewAutoSizeColumns(ListView *list, int width);
// Sets the width of `column` (counted from 1): AutoSize, AutoSizeUseHeader or pixels. Nothing happens unless
// the list is in report view and 1 <= column <= the header count.
void ListViewSetColumnWidth(ListView *list, int column, int width);

} // namespace MListView
