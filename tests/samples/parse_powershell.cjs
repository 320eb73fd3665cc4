// Parses PowerShell scripts with the tree-sitter PowerShell grammar (npm: tree-sitter-powershell,
// run by web-tree-sitter; scripts/install-deps.sh installs both into build/node) and fails on
// any syntax error or missing token. No PowerShell itself runs on the build machine.
//   node parse_powershell.cjs NODE_MODULES_DIR SCRIPT...
const path = require('path');
const fs = require('fs');

const modules = path.resolve(process.argv[2]);
// Resolves the packages as a file inside that folder would (by name, through their exports).
const requireThere = require('module').createRequire(path.join(modules, 'parse.cjs'));
const { Parser, Language } = requireThere('web-tree-sitter');

(async () => {
  await Parser.init();
  const grammar = requireThere.resolve('tree-sitter-powershell/tree-sitter-powershell.wasm');
  const parser = new Parser();
  parser.setLanguage(await Language.load(grammar));
  let failed = 0;
  for (const script of process.argv.slice(3)) {
    const tree = parser.parse(fs.readFileSync(script, 'utf8'));
    const errors = [];
    const walk = (node) => {
      if (node.type === 'ERROR' || node.isMissing) {
        errors.push(`${node.startPosition.row + 1}:${node.startPosition.column + 1}`);
      }
      for (const child of node.children) walk(child);
    };
    walk(tree.rootNode);
    if (errors.length) {
      failed += 1;
      console.log(`FAIL: ${script}: syntax errors at ${errors.join(', ')}`);
    }
  }
  process.exit(failed ? 1 : 0);
})().catch((error) => {
  console.log(`FAIL: ${error.message}`);
  process.exit(1);
});
