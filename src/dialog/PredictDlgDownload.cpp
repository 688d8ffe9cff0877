// The list refresh of the main dialog. (Being built: the download layer comes next.)
#include "PredictDlg.h"

namespace numira {

const char* BuiltInListServer() { return NUMIRA_LIST_SERVER; }

void CPredictDlg::OnDownload() {}

}  // namespace numira
