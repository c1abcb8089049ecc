#include "ui/TabPage.h"

// Pages are QObjects; their meta-object lives here.
