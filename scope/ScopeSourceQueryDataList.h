// CScopeSourceQueryDataList: the signals one drive offers the scope.
#pragma once

#include "ScopeSourceQueryDataItem.h"
#include "platform/core/List.h"

class CScopeSourceQueryDataList : public CList<CScopeSourceQueryDataItem, const CScopeSourceQueryDataItem&> {};
