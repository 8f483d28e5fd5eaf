#include "tuning/TuningPaneComponent.h"
