#pragma once
// Resource ids of the progress window's dialog template (ProgressDialog.rc).
#define IDD_PROGRESS 129
