// CObTree and CNode: ordered trees of owned records, stored in pre-order.
#pragma once

#include <memory>
#include <vector>

#include "model/archive.h"
#include "model/object.h"

class CNode : public CObject {
  DECLARE_SERIAL(CNode)
 public:
  CNode() = default;
  ~CNode() override;
  CNode(const CNode&) = delete;
  CNode& operator=(const CNode&) = delete;

  // Null when `i` is outside 0 .. count - 1.
  CNode* GetChild(int i) const;
  // Appends `child` (ignored when null) and makes this node its parent; the
  // node owns its children from then on.
  void AddChild(CNode* child);
  // Takes `child` out of the children without destroying it; its parent link
  // stays as it was. The caller owns it afterwards.
  CNode* RemoveChild(CNode* child);
  // Takes this node out of its parent's children.
  CNode* Detach();

  int GetChildCount() const { return static_cast<int>(m_children.size()); }
  bool HasChildren() const { return !m_children.empty(); }
  CObject* GetData() const { return m_pData; }
  // The node owns its data; setting new data destroys the old.
  void SetData(CObject* data);
  CNode* GetParent() const { return m_pParent; }
  void SetParent(CNode* parent) { m_pParent = parent; }
  // Room for `n` more children, so adding them moves nothing.
  void ReserveChildren(int n) { m_children.reserve(m_children.size() + static_cast<size_t>(n > 0 ? n : 0)); }
  int GetLoadedChildCount() const { return m_nLoadedChildCount; }
  void SetLoadedChildCount(int n) { m_nLoadedChildCount = n; }

 private:
  std::vector<CNode*> m_children;  // owned
  CNode* m_pParent = nullptr;
  CObject* m_pData = nullptr;  // owned
  int m_nLoadedChildCount = 0;
};

class CObTree : public CObject {
  DECLARE_SERIAL(CObTree)
 public:
  CObTree() = default;
  ~CObTree() override;
  CObTree(const CObTree&) = delete;
  CObTree& operator=(const CObTree&) = delete;

  CNode* GetRoot() const { return m_pRoot; }
  // Takes ownership of `root`; a null root is refused. A previous root is
  // destroyed, so a tree never leaks its nodes.
  bool SetRoot(CNode* root);
  // Destroys every node and its data.
  void Clear();

  int GetSpareWord() const { return m_nSpare; }

  // Loaded node data must be of this class (any record when null).
  void SetDataClass(const CRuntimeClass* cls) { m_pDataClass = cls; }

  void Serialize(CArchive& ar) override;

 private:
  void StoreNode(CArchive& ar, const CNode* node);
  void LoadNode(CArchive& ar, CNode* node, int depth);

  CNode* m_pRoot = nullptr;  // owned
  int m_nSpare = 0;
  const CRuntimeClass* m_pDataClass = nullptr;
};
