#include "export/xlsx_parti.h"

#include <ctime>

#include "common/stato.h"
#include "export/xml_codifica.h"

namespace kyx {
namespace {

constexpr const char* Ns_Relazioni = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* Tipo_Relazione = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

bool Parte(zip::ZipWriter& Zip, std::string_view Nome, const std::vector<std::string>& Pezzi) {
  bool ok = XLSX_Apri_Parte(Zip, Nome);
  for (const std::string& s : Pezzi) ok = ok && Zip.Write(s);
  return ok;
}

std::string Relazione(const char* Id, const std::string& Tipo, const char* Destinazione) {
  return std::string("<Relationship Id='") + Id + "' Type='" + Tipo + "' Target='" + Destinazione + "'/>";
}

// The present moment in UTC as yyyy-mm-ddThh:nn:ss.
std::string Adesso_Utc() {
  const std::time_t t = std::time(nullptr);
  std::tm u{};
  gmtime_r(&t, &u);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &u);
  return buf;
}

}  // namespace

bool XLSX_Apri_Parte(zip::ZipWriter& Zip, std::string_view Nome) {
  return Zip.Begin(Nome) && Zip.Write(XLSX_Dichiarazione);
}

bool XLSX_Parti_Fisse(zip::ZipWriter& W, const std::string& Stili) {
  const std::string titolo = XML_Codifica(Titolo_Programma);
  const std::string T = Adesso_Utc();
  const std::string rel = std::string("<Relationships xmlns='") + Ns_Relazioni + "'>";
  return Parte(W, "[Content_Types].xml",
               {"<Types xmlns='http://schemas.openxmlformats.org/package/2006/content-types'>",
                "<Default  Extension='rels'                     "
                "ContentType='application/vnd.openxmlformats-package.relationships+xml'/>",
                "<Default  Extension='xml'                      ContentType='application/xml'/>",
                "<Override PartName='/docProps/app.xml'         "
                "ContentType='application/vnd.openxmlformats-officedocument.extended-properties+xml'/>",
                "<Override PartName='/docProps/core.xml'        "
                "ContentType='application/vnd.openxmlformats-package.core-properties+xml'/>",
                "<Override PartName='/xl/styles.xml'            "
                "ContentType='application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml'/>",
                "<Override PartName='/xl/workbook.xml'          "
                "ContentType='application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml'/>",
                "<Override PartName='/xl/worksheets/sheet1.xml' "
                "ContentType='application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml'/>",
                "</Types>"}) &&
         Parte(W, "_rels/.rels",
               {rel, Relazione("rId3", Tipo_Relazione + std::string("extended-properties"), "docProps/app.xml"),
                Relazione("rId2",
                          "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
                          "docProps/core.xml"),
                Relazione("rId1", Tipo_Relazione + std::string("officeDocument"), "xl/workbook.xml"),
                "</Relationships>"}) &&
         Parte(W, "docProps/app.xml",
               {"<Properties xmlns='http://schemas.openxmlformats.org/officeDocument/2006/extended-properties' "
                "xmlns:vt='http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes'>",
                "<Application>Microsoft Excel</Application>", "<DocSecurity>0</DocSecurity>",
                "<ScaleCrop>false</ScaleCrop>", "<HeadingPairs>", "<vt:vector size='2' baseType='variant'>",
                "<vt:variant><vt:lpstr>Fogli di lavoro</vt:lpstr></vt:variant>",
                "<vt:variant><vt:i4>1</vt:i4></vt:variant>", "</vt:vector>", "</HeadingPairs>", "<TitlesOfParts>",
                "<vt:vector size='1' baseType='lpstr'>", "<vt:lpstr>Dati</vt:lpstr>", "</vt:vector>",
                "</TitlesOfParts>", "<Company>" + titolo + "</Company>", "<LinksUpToDate>false</LinksUpToDate>",
                "<SharedDoc>false</SharedDoc>", "<HyperlinksChanged>false</HyperlinksChanged>",
                "<AppVersion>12.0000</AppVersion>", "</Properties>"}) &&
         Parte(W, "docProps/core.xml",
               {"<cp:coreProperties",
                " xmlns:cp='http://schemas.openxmlformats.org/package/2006/metadata/core-properties'",
                " xmlns:dc='http://purl.org/dc/elements/1.1/'", " xmlns:dcterms='http://purl.org/dc/terms/'",
                " xmlns:dcmitype='http://purl.org/dc/dcmitype/'",
                " xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>", "<dc:creator>" + titolo + "</dc:creator>",
                "<cp:lastModifiedBy>" + titolo + "</cp:lastModifiedBy>",
                "<dcterms:created  xsi:type='dcterms:W3CDTF'>" + T + "Z</dcterms:created>",
                "<dcterms:modified xsi:type='dcterms:W3CDTF'>" + T + "Z</dcterms:modified>",
                "</cp:coreProperties>"}) &&
         Parte(W, "xl/_rels/workbook.xml.rels",
               {rel, Relazione("rId3", Tipo_Relazione + std::string("styles"), "styles.xml"),
                Relazione("rId1", Tipo_Relazione + std::string("worksheet"), "worksheets/sheet1.xml"),
                "</Relationships>"}) &&
         Parte(W, "xl/styles.xml", {Stili}) &&
         Parte(W, "xl/workbook.xml",
               {"<workbook xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main' "
                "xmlns:r='http://schemas.openxmlformats.org/officeDocument/2006/relationships'>",
                "<fileVersion appName='xl' lastEdited='4' lowestEdited='4' rupBuild='4505'/>", "<sheets>",
                "<sheet name='Dati' sheetId='1' r:id='rId1'/>", "</sheets>", "</workbook>"});
}

}  // namespace kyx
