#include "model/obtree.h"

#include <algorithm>

IMPLEMENT_SERIAL(CNode, CObject, 0)
IMPLEMENT_SERIAL(CObTree, CObject, 0)

namespace {
// Deep trees come only from hostile input; a recursion limit keeps the
// loader's stack bounded whatever the bytes say.
constexpr int kMaxDepth = 1000;
}

CNode::~CNode() {
  for (CNode* child : m_children) delete child;
  delete m_pData;
}

CNode* CNode::GetChild(int i) const {
  if (i < 0 || i >= GetChildCount()) return nullptr;
  return m_children[static_cast<size_t>(i)];
}

void CNode::AddChild(CNode* child) {
  if (!child) return;
  child->m_pParent = this;
  m_children.push_back(child);
}

CNode* CNode::RemoveChild(CNode* child) {
  auto it = std::find(m_children.begin(), m_children.end(), child);
  if (it == m_children.end()) return nullptr;
  m_children.erase(it);
  return child;
}

CNode* CNode::Detach() { return m_pParent ? m_pParent->RemoveChild(this) : nullptr; }

void CNode::SetData(CObject* data) {
  if (data == m_pData) return;
  delete m_pData;
  m_pData = data;
}

CObTree::~CObTree() { Clear(); }

void CObTree::Clear() {
  delete m_pRoot;
  m_pRoot = nullptr;
}

bool CObTree::SetRoot(CNode* root) {
  if (!root) return false;
  if (root != m_pRoot) delete m_pRoot;
  m_pRoot = root;
  return true;
}

void CObTree::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    // A tree without a root is stored as an empty root, so every stored tree
    // reads back.
    CNode empty;
    StoreNode(ar, m_pRoot ? m_pRoot : &empty);
    return;
  }
  CNode* root = new CNode;
  SetRoot(root);
  LoadNode(ar, root, 0);
}

void CObTree::StoreNode(CArchive& ar, const CNode* node) {
  ar.WriteObject(node->GetData());
  ar.WriteInt(node->GetChildCount());
  for (int i = 0; i < node->GetChildCount(); ++i) StoreNode(ar, node->GetChild(i));
}

void CObTree::LoadNode(CArchive& ar, CNode* node, int depth) {
  if (depth > kMaxDepth) throw CArchiveException(CArchiveException::generic);
  node->SetData(ar.ReadObject(m_pDataClass));
  int32_t count = ar.ReadInt();
  node->SetLoadedChildCount(count);
  if (count <= 0) return;
  // Each child takes at least its data WORD and its count.
  ar.Require(static_cast<uint64_t>(count) * 6);
  // The count is known and backed by the bytes left: no slack in the list.
  node->ReserveChildren(count);
  for (int32_t i = 0; i < count; ++i) {
    CNode* child = new CNode;
    node->AddChild(child);
    LoadNode(ar, child, depth + 1);
  }
}
