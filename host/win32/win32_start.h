// win32_start.h - what the Windows half registers when the host starts: roots, controls, the rollout clause.
#pragma once

void root_open_rollouts();      // open rollout pages call back into script at any time
void root_open_floaters();      // and so do open floaters
void install_host_controls();   // button, spinner, listbox, ...: the host's own rollout controls
void install_rollout_clause();  // rollout/rcmenu definitions, createDialog, windows, mouse
