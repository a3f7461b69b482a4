# The setup's language table as far as the build needs it, one entry per row
# in row order: source name | module file | "SFX_DLL" id | "SFX_TEXT" id.
# The source name picks lang/<name>.rc and agreements/<row>_<name>.txt. The
# resource ids follow neither row order nor each other; they are the ones the
# setup program looks its payloads up by.
set(ZOR_LANGUAGE_TABLE
  "zh_CN|Install.dll|135|139"
  "en|InstallEn.dll|134|140"
  "fr|InstallFr.dll|143|141"
  "de|InstallGe.dll|147|145"
  "ru|InstallRu.dll|144|144"
  "zh_TW|InstallTr.dll|146|143"
  "ko|InstallKo.dll|145|142"
  "ja|InstallJap.dll|162|164"
  "pt|InstallPtg.dll|160|166"
  "it|InstallIta.dll|159|163"
  "es|InstallSpa.dll|161|165"
  "cs|InstallCzech.dll|178|167"
  "da|InstallDanish.dll|179|168"
  "nl|InstallDutch.dll|180|169"
  "fi|InstallFinnish.dll|181|170"
  "el|InstallGreek.dll|182|171"
  "hu|InstallHungarian.dll|183|172"
  "no|InstallNorwegian.dll|184|173"
  "pl|InstallPolish.dll|185|174"
  "pt_BR|InstallPT-BR.dll|186|175"
  "sv|InstallSwedish.dll|187|177"
  "tr|InstallTurkish.dll|188|176"
)
