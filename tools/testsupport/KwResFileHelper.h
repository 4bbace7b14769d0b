#pragma once

// Helpers of the tests that store resource objects: a temporary directory
// of their own (also the handler's directory of working files), storing
// resources in a new file, loading them back, and the exact bytes of one
// record.

#include "KwFileBytes.h"
#include "TCrt.h"
#include "TFile.h"
#include "TFileHdl.h"
#include "TOpSystem.h"
#include "TResource.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace kwtest {

// A directory below the temporary directory, removed with everything in
// it. While it exists, TEMP names it, so that the handler's working files
// land there too.
class TResTempDir {
public:
    explicit TResTempDir(const std::string& name)
        : m_coOldTemp(CurrentOS().GetEnvVar("TEMP"))
    {
        m_path = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(CrtProcessId()));
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
        std::filesystem::create_directories(m_path, ec);
        CurrentOS().SetEnvVar("TEMP", m_path.string().c_str());
    }
    ~TResTempDir()
    {
        CurrentOS().SetEnvVar("TEMP", m_coOldTemp.IsEmpty() ? nullptr : static_cast<const char*>(m_coOldTemp));
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TResTempDir(const TResTempDir&) = delete;
    TResTempDir& operator=(const TResTempDir&) = delete;

    std::string Path() const { return m_path.string(); }
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    // Entries of the directory, to see that no working file is left.
    size_t EntryCount() const
    {
        size_t n = 0;
        for (auto it = std::filesystem::directory_iterator(m_path); it != std::filesystem::directory_iterator(); ++it)
            ++n;
        return n;
    }

private:
    TString m_coOldTemp;
    std::filesystem::path m_path;
};

// Writes the resources into a new resource file and saves it.
inline void StoreResources(const std::string& file, std::initializer_list<const TResource*> resources)
{
    TFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenWrite("tester", file.c_str(), "", ""), TFileHdl::Success) << file;
    for (const TResource* pco : resources)
        ASSERT_EQ(coHdl.WriteTemp(*pco), TFileHdl::Success) << pco->GetResId();
    ASSERT_EQ(coHdl.Save(), TFileHdl::Success);
    coHdl.Close();
}

// A handler that keeps what the record reader reports.
class TRecordingFileHdl : public TFileHdl {
public:
    void DisplayMessage(const char* pszText) override { m_vecMessages.push_back(pszText ? pszText : ""); }
    std::vector<std::string> m_vecMessages;
};

// The bytes of the record of one resource, written on its own.
inline std::string RecordBytes(const TResource& coResource, const std::string& file)
{
    {
        TFile coFile;
        if (!coFile.Open(file.c_str(), TFile::ModeCreate))
            return "<not created>";
        coResource.WriteResource(coFile);
    }
    return ReadFileBytes(file);
}

// Little-endian encodings of the record items.
class TBytes {
public:
    TBytes& U16(unsigned v)
    {
        m_str.push_back(static_cast<char>(v & 0xFF));
        m_str.push_back(static_cast<char>((v >> 8) & 0xFF));
        return *this;
    }
    TBytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    // A counted string; null and empty alike.
    TBytes& Str(const char* psz)
    {
        const std::string text = psz ? psz : "";
        U16(static_cast<unsigned>(text.size()));
        if (!text.empty()) {
            m_str += text;
            m_str.push_back('\0');
        }
        return *this;
    }
    TBytes& Header(const char* pszClass) { return U16(31).Str(pszClass).Str(nullptr).U16(0).U32(0); }
    TBytes& StringVar(unsigned unId, const char* psz) { return U16(11).U16(1).U16(unId).Str(psz); }
    TBytes& End() { return U16(30); }
    const std::string& Text() const { return m_str; }

private:
    std::string m_str;
};

} // namespace kwtest
