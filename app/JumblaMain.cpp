#include "app/ShuffleApp.h"

// The one application object; the framework's WinMain runs its InitInstance.
CShuffleApp theApp;
