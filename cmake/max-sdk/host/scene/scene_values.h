// scene_values.h - the script values of scene nodes and controllers.
#pragma once
#include <maxscript/maxscript.h>
#include <maxscript/maxwrapper/mxsobjects.h>
#include <inode.h>
