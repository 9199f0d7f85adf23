#ifndef TARNEL_APP_SCENE_TREE_REPORT_H
#define TARNEL_APP_SCENE_TREE_REPORT_H

#include <OgrePrerequisites.h>

#include <cstdio>

/** Writes a node, then its objects at the node's indentation, then its children
    four spaces deeper:
        Name
        -  "Object"
            Child */
void WriteSceneTree(std::FILE* file, const Ogre::SceneNode* node, int depth);

/** Writes the report of the whole tree below the root to the file. When the
    file cannot be written, warns on standard error and in the log, and returns
    false; the viewer goes on without a report. */
bool WriteSceneTreeReport(const char* fileName, const Ogre::SceneNode* root);

#endif
