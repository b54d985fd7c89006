// module.h - the extension's module handle, stored at process attach.
#pragma once
#include <windows.h>

HINSTANCE vantrelModule();
