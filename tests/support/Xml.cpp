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
        if (typeid(error) != kind)
            return ::testing::AssertionFailure() << "raised " << typeid(error).name() << ", not " << kind.name();
        for (const auto& [what, got, expected] : {std::make_tuple("description", error.getDescription(), description),
                                                  std::make_tuple("source", error.getSource(), source),
                                                  std::make_tuple("file", std::string(error.getFile()), file)})
            if (got != expected)
                return ::testing::AssertionFailure() << what << " \"" << got << "\", not \"" << expected << "\"";
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "nothing was raised";
}
