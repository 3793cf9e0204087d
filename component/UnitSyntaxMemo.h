/** @file UnitSyntaxMemo.h
 ** The editor component's public face: token kinds and attributes, token lists, the
 ** document model (lines, sections, selection and undo, bookmarks and breakpoints),
 ** the options, change kinds and event types, and the editor control itself. */
#pragma once

#include "control/SyntaxMemo.h"
#include "document/Bookmarks.h"
#include "document/DocumentTypes.h"
#include "document/LineStorage.h"
#include "document/MemoModel.h"
#include "document/Range.h"
#include "document/Sections.h"
#include "platform/Clipboard.h"
#include "base/Cp1251.h"
#include "base/Errors.h"
#include "syntax/SyntaxAttributes.h"
#include "syntax/SyntaxTypes.h"
#include "syntax/TokenList.h"
