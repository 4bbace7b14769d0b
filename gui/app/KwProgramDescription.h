#pragma once

#include "Kw25Api.h"
#include "TString.h"

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct KwMemberLinkArray;

// What a program can bind to a resource file, for kwtcheck: its run-time
// classes with their bases, the event types each class announces and the
// entries of its member link tables (target and "Class::Function").
//
// It is taken from a running process (FromProcess: every registered class
// and event table, and the tables declared with KwLinkTableDeclaration),
// or read from its text, one entry a line ("#" starts a comment; a name
// with blanks, '#' or '"' is quoted with \" and \\ escapes):
//
//   class GdvMain KwWFrame          a class and its base ("-": none)
//   event GdvMain KW_LINK_REFRESH   an event type the class announces
//   link FW_MAIN GdvMain::LnkAbout  an entry of a member link table
//
// A framework program started with the environment variable
// KW_DESCRIBE_PROGRAM set writes its description into the file it names
// and ends with exit code 0 (1 when the file cannot be written), before
// its application object starts: its static objects are made, no window.
//
// Class names and event types are found without regard to case; family
// tests and link entries compare exactly, as the binding does.
class KW25_API KwProgramDescription {
public:
    static const char* EnvironmentName() { return "KW_DESCRIBE_PROGRAM"; }

    // Everything this process has registered and declared.
    static KwProgramDescription FromProcess();
    // Reads a text; 0 and the line's fault in *pcoError (as "line <n>:
    // <what>") for a line that is not an entry. What was read stays.
    int Parse(const char* pchText, size_t nLength, TString* pcoError);
    TString Text() const;
    // 1 when the file was written.
    int WriteFile(const char* pszFile) const;
    // Takes over what the other one holds.
    void Add(const KwProgramDescription& coOther);

    // Queries
    int HasClass(const char* pszClass) const { return FindClass(pszClass) != nullptr; }
    // The class's name as registered, or null when it is unknown.
    const char* ClassName(const char* pszClass) const;
    // Whether pszClass is pszFamily or derives from it (names compared
    // exactly along the bases, as TDynBase::IsClassFamily does).
    int IsClassFamily(const char* pszClass, const char* pszFamily) const;
    // Whether every class from pszClass up to its root is known.
    int IsChainKnown(const char* pszClass) const;
    // Whether the class or one of its bases announces the event type.
    int HasEvent(const char* pszClass, const char* pszEvent) const;
    int HasLink(const char* pszTarget, const char* pszFunction) const;
    // The targets under which a link function is listed, in order.
    std::vector<TString> TargetsOf(const char* pszFunction) const;
    size_t GetLinkCount() const { return m_vecLinks.size(); }
    size_t GetClassCount() const { return m_mapClasses.size(); }

    // Building
    void AddClass(const char* pszClass, const char* pszBase);
    void AddEvent(const char* pszClass, const char* pszEvent);
    void AddLink(const char* pszTarget, const char* pszFunction);
    void AddTable(const KwMemberLinkArray* pcoTable);

private:
    struct TClass {
        std::string strName;
        std::string strBase;   // empty for a root class
    };
    const TClass* FindClass(const char* pszClass) const;

    std::map<std::string, TClass> m_mapClasses;              // by lower-case name
    std::set<std::pair<std::string, std::string>> m_setEvents;   // lower-case class and event
    std::vector<std::pair<std::string, std::string>> m_vecLinks;
};

// Declares one of a program's member link tables, so that kwtcheck sees
// it: a program (or a library of it) keeps one static object per table,
// beside the table it hands to KwResHdl::InstallResourceFile.
//
//   const KwMemberLinkArray GdvApp::m_staLinks[] = { ... };
//   static KwLinkTableDeclaration s_coLinks(GdvApp::m_staLinks);
class KW25_API KwLinkTableDeclaration {
public:
    explicit KwLinkTableDeclaration(const KwMemberLinkArray* pcoTable);
    ~KwLinkTableDeclaration();
    KwLinkTableDeclaration(const KwLinkTableDeclaration&) = delete;
    KwLinkTableDeclaration& operator=(const KwLinkTableDeclaration&) = delete;

    // The declared tables, in the order of their declaration.
    static std::vector<const KwMemberLinkArray*> Tables();

private:
    const KwMemberLinkArray* m_pcoTable;
};

// The part of a framework program's entry point that serves kwtcheck:
// with KW_DESCRIBE_PROGRAM set, writes the description and answers 1 and
// the exit code; otherwise answers 0.
KW25_API int KwDescribeProgramIfAsked(int* pnExitCode);
