#pragma once
// The option "规范化时按层次缩进": 规范化 indents by nesting level. Loaded at start-up, changed by the
// options dialog; off until then.

extern bool NormaliseIndents;
