#pragma once
// The entries of the 窗口 menu that name the open child windows, as MDI programs list them.

#include <QString>

namespace WindowList {

// The caption of the entry of the `number`-th window (from 1) titled `title`: the first nine get their
// digit as the access key ("&1 标题"), later ones just their number; an "&" of the title stays an "&".
QString EntryCaption(int number, const QString &title);

} // namespace WindowList
