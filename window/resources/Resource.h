#pragma once

// Shared by the resource script and the code that loads its resources.
#define IDI_FORM1 1
#define IDC_HAND_POINTER 2
