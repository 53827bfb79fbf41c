#include "AgentState.h"

int ActiveGroup = -1;
DeviceIdList AttachedDeviceIds;
CCorvidhidDlg* AgentWindow = nullptr;
