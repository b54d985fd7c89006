// demo.h - the runner's demonstration job.
#pragma once

// Opens a rollout with a SchematicControl and reports what the host registered.
// Returns the process exit code.
int runDemo(const char* outputFolder);
