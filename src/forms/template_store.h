// TemplateStore: the templates of the compose form, kept as message files with previews in the
// template folder and listed in an index file there. A store that finds no usable index starts
// with the custom entry only (an empty message) and writes that index.
#pragma once

#include <string_view>
#include <vector>

#include "forms/template_index.h"
#include "platform/text/cstring.h"

// The name of the index file for this language: 40797 with 40920 ("0409" when empty), when such a
// file exists in the folder; else "MMSTemplates0409.inf".
CString TemplateIndexName(std::u16string_view folder);

class TemplateStore {
 public:
  // Sets the folder (with a trailing backslash), the index name ("MMSTemplates.inf" when null) and
  // the custom entry's name, and loads the index. False only when a fresh index cannot be written.
  bool Open(LPCWSTR folder, LPCWSTR customName, LPCWSTR indexName);
  // The entry of that name, or null.
  const TemplateEntry* Find(std::u16string_view name) const;
  // Stores a copy of the message file (which must exist) under a name, in files named with the
  // next running number, and rewrites the index; a template of that name already there is
  // replaced and its files deleted. With a source picture that decodes, the preview is that
  // picture fitted into 100 x 80 on white, as JPEG at quality 90; otherwise there is none. A store
  // that holds as many entries as an index may list takes no new name.
  bool Add(std::u16string_view name, LPCWSTR sourceMessageFile, LPCWSTR sourcePicture, DWORD flag);
  // Appends the custom entry (running number 0) and rewrites the index.
  bool AddCustom();
  // Deletes the entry's message file and preview, drops the entry and rewrites the index.
  bool Remove(std::u16string_view name);
  // Forgets every entry; the files stay.
  void Clear();

  const std::vector<TemplateEntry>& Entries() const { return m_index.entries; }
  DWORD RunningNumber() const { return m_index.runningNumber; }
  const CString& Folder() const { return m_folder; }
  CString IndexPath() const { return m_folder + m_indexName.View(); }

 private:
  bool Load();
  void DeleteOwnFiles(const TemplateEntry& entry) const;
  // Writes the whole index under a temporary name, then puts it in place.
  bool WriteIndex() const;

  CString m_folder;
  CString m_indexName;
  CString m_customName;
  TemplateIndex m_index;
};
