#ifndef TARNEL_TESTS_LOG_RECORDER_H
#define TARNEL_TESTS_LOG_RECORDER_H

#include <OgreLog.h>
#include <OgreLogManager.h>

#include <algorithm>
#include <vector>

/// Collects what the engine's log is told while it lives.
class LogRecorder : public Ogre::LogListener
{
public:
    LogRecorder() { Ogre::LogManager::getSingleton().getDefaultLog()->addListener(this); }
    ~LogRecorder() override { Ogre::LogManager::getSingleton().getDefaultLog()->removeListener(this); }
    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&, bool&) override
    {
        messages.push_back(message);
    }
    /// How many messages contain the text.
    int Count(const Ogre::String& part) const
    {
        return int(std::count_if(messages.begin(), messages.end(), [&](const Ogre::String& message) {
            return message.find(part) != Ogre::String::npos;
        }));
    }
    std::vector<Ogre::String> messages;
};

#endif
