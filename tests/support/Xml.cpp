#include "support/Xml.h"

XmlElement::XmlElement(const std::string& text)
{
    document.Parse(text.c_str());
    EXPECT_FALSE(document.Error()) << document.ErrorDesc() << " in " << text;
}

::testing::AssertionResult RaisesEngineError(const std::function<void()>& call, const std::type_info& kind,
                                             const std::string& description, const std::string& source,
                                             const std::string& file)
{
    try
    {
        call();
    }
    catch (const Ogre::Exception& error)
    {
        ::testing::AssertionResult result = ::testing::AssertionSuccess();
        if (typeid(error) != kind)
            return ::testing::AssertionFailure() << "raised " << typeid(error).name() << ", not " << kind.name();
        if (error.getDescription() != description)
            return ::testing::AssertionFailure() << "description \"" << error.getDescription() << "\", not \""
                                                 << description << "\"";
        if (error.getSource() != source)
            return ::testing::AssertionFailure() << "source \"" << error.getSource() << "\", not \"" << source
                                                 << "\"";
        if (error.getFile() != file)
            return ::testing::AssertionFailure() << "file \"" << error.getFile() << "\", not \"" << file << "\"";
        return result;
    }
    return ::testing::AssertionFailure() << "nothing was raised";
}
