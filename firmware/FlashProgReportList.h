// CFlashProgReportList: the queue of a library's reports, oldest first.
#pragma once

#include "FlashProgReport.h"
#include "platform/core/List.h"

class CFlashProgReportList : public CList<CFlashProgReport, const CFlashProgReport&> {};
