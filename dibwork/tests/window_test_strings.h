// String ids of the window tests' own string table: the registry key the
// tests work under is "<kTestKeyPath>\<kTestSubKey>" of HKEY_CURRENT_USER.
#pragma once

#define IDS_TEST_KEY_PATH 9001
#define IDS_TEST_SUB_KEY 9002
#define IDS_TEST_MISSING 9099

#define TEST_KEY_ROOT "Software\\PintoraTests"
#define TEST_KEY_FULL "Software\\PintoraTests\\Dibwork window helpers"
