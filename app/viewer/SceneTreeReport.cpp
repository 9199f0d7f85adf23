#include "SceneTreeReport.h"

#include <OgreLogManager.h>
#include <OgreMovableObject.h>
#include <OgreSceneNode.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

void WriteSceneTree(std::FILE* file, const Ogre::SceneNode* node, int depth)
{
    std::string indentation(size_t(depth) * 4, ' ');
    std::fprintf(file, "%s%s\n", indentation.c_str(), node->getName().c_str());
    for (const Ogre::MovableObject* object : node->getAttachedObjects())
        std::fprintf(file, "%s-  \"%s\"\n", indentation.c_str(), object->getName().c_str());
    for (const Ogre::Node* child : node->getChildren())
        WriteSceneTree(file, static_cast<const Ogre::SceneNode*>(child), depth + 1);
}

bool WriteSceneTreeReport(const char* fileName, const Ogre::SceneNode* root)
{
    std::FILE* file = std::fopen(fileName, "wt");
    if (file)
    {
        WriteSceneTree(file, root, 0);
        if (std::fclose(file) == 0)
            return true;
    }
    std::string warning = std::string("Warning: the scene-tree report \"") + fileName +
                          "\" could not be written: " + std::strerror(errno);
    std::cerr << warning << std::endl;
    Ogre::LogManager::getSingleton().logWarning(warning);
    return false;
}
