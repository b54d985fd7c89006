// rollout.h - rollouts and rollout controls.
#pragma once
#include <maxscript/maxscript.h>
#include <maxscript/UI/rollouts.h>
