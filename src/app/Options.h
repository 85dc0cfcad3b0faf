#pragma once

#include "workbench/NormaliseSetting.h"

// The program-wide value of the option "不显示编号": 0 = off, 1 = on. Loaded at start-up, changed by fOption.

extern short HideNumbering;

// The option "使用浏览器内核": pages open in the browser engine. Loaded at start-up, changed by fOption.
extern bool UseBrowserEngine;

// "规范化时按层次缩进" (NormaliseIndents) lives with the normaliser that reads it.
