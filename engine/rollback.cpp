#include "engine/setup_engine.h"

// Not built yet.
void CSetupEngine::Rollback() {}
